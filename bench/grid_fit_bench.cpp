// The column fit of 20,000 and 40,000 trade rows with the real-font
// measurer the main window installs, against shaping every text with
// QFontMetricsF. Processor time, as the machine may be shared.
// Prints "name value unit" lines.

#include "grid_trades.h"

#include "core/grid/GridOperations.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/text/TextMeasurer.h"
#include "gui/grid/TradeGridView.h"
#include "gui/grid/WidgetTextMeasurer.h"
#include "gui/base/Twips.h"

#include <QApplication>
#include <QFontMetricsF>

#include <cstdio>
#include <ctime>

namespace {

// Shapes every line with QFontMetricsF, as a plain TextWidth would.
class ShapingMeasurer : public TextMeasurer {
public:
    explicit ShapingMeasurer(const QFont& font)
        : metrics_(font)
    {
    }
    double TextWidth(const QString& text) const override
    {
        double widest = 0;
        for (const QString& line : text.split(QStringLiteral("\r\n")))
            widest = std::max(widest, metrics_.horizontalAdvance(line));
        return PixelsToTwips(widest);
    }

private:
    QFontMetricsF metrics_;
};

void Print(const QString& name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", qPrintable(name), value, unit);
    std::fflush(stdout);
}

double CpuMsSince(std::clock_t start)
{
    return double(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    double first = 0;
    for (const int rows : { 20000, 40000 }) {
        const QString n = QString::number(rows);
        TradeGrid grid;
        SetUpTradeGrid(grid);
        gridbench::AppendTrades(grid, rows, gridbench::MakeTrades(rows),
            [](const TradeGrid& g, const QString& text) { return g.FindOrderRow(text); });
        grid.SetWidth(30000);

        const WidgetTextMeasurer measurer(TradeGridFont());
        std::clock_t start = std::clock();
        AutoFitColumns(measurer, grid, 1, nullptr);
        const double fitMs = CpuMsSince(start);
        Print(QStringLiteral("grid_autofit_font_cpu_%1").arg(n), fitMs, "ms");
        if (rows == 20000)
            first = fitMs;
        else
            Print(QStringLiteral("grid_autofit_font_cpu_growth_40000_vs_20000"), fitMs / first, "x");

        const ShapingMeasurer shaping(TradeGridFont());
        start = std::clock();
        AutoFitColumns(shaping, grid, 1, nullptr);
        const double shapingMs = CpuMsSince(start);
        Print(QStringLiteral("grid_autofit_font_shaping_cpu_%1").arg(n), shapingMs, "ms");
        Print(QStringLiteral("grid_autofit_font_speedup_%1").arg(n), shapingMs / fitMs, "x");
    }
    return 0;
}

#include "GridSetup.h"

#include "GridOperations.h"
#include "GridSteps.h"
#include "TradeGrid.h"
#include "core/text/TextMeasurer.h"
#include "core/trade/ColumnTable.h"

#include <algorithm>

namespace {

// SimSun 9 point at 96 dpi: 90 twips for a half-width character, 180 for a
// full-width one. Stands in when no window measures (headless runs).
class ApproximateMeasurer : public TextMeasurer {
public:
    double TextWidth(const QString& text) const override
    {
        double widest = 0;
        for (const QStringView line : QStringView(text).split(u"\r\n")) {
            double width = 0;
            for (const QChar c : line)
                width += c.unicode() < 0x2E80 ? 90 : 180;
            widest = std::max(widest, width);
        }
        return widest;
    }
};

} // namespace

const TextMeasurer& ApproximateTradeGridMeasurer()
{
    static const ApproximateMeasurer approximate;
    return approximate;
}

QStringList TradeGridTitles()
{
    QStringList titles;
    for (const ColumnFacts& facts : kTradeColumns)
        titles.append(QString::fromUtf16(facts.title));
    return titles;
}

QStringList TradeGridLetters()
{
    QStringList letters { QString(), QString() };
    for (char c = 'A'; c <= 'W'; ++c)
        letters.append(QString(QLatin1Char(c)));
    return letters;
}

QVector<int> ExportedColumns(const TradeGrid& grid, ExportNotes notes)
{
    const bool tradeGrid = grid.Tag() == QString::fromUtf8(kTradeGridTag);
    QVector<int> columns;
    const int sheet = tradeGrid ? std::min(grid.Cols(), kSheetTradeColumns) : grid.Cols();
    for (int c = 0; c < sheet; ++c)
        columns.append(c);
    if (tradeGrid && notes == ExportNotes::With)
        for (int c = kSheetTradeColumns; c < std::min(grid.Cols(), kShownTradeColumns); ++c)
            columns.append(c);
    return columns;
}

void BuildGridHeader(TradeGrid& grid, const QStringList& letters, const QStringList& titles)
{
    grid.SetVisible(false);
    struct ShowOnExit {
        TradeGrid& grid;
        ~ShowOnExit() { grid.SetVisible(true); }
    } show { grid };
    grid.SetCols(int(titles.size()));
    grid.SetFixedCols(2);
    grid.SetRows(3);
    grid.SetFixedRows(2);
    grid.SetRows(2);
    for (int i = 0; i < int(titles.size()); ++i) {
        grid.SetTextMatrix(0, i, letters.value(i));
        grid.SetTextMatrix(1, i, titles.at(i));
    }
}

void SetUpTradeGrid(TradeGrid& grid, const TextMeasurer* measurer)
{
    const QString tag = QString::fromUtf8(kTradeGridTag);
    if (grid.Tag() == tag)
        return;
    // The header sets the grid's shape, so the rows and columns below are there.
    BuildGridHeader(grid, TradeGridLetters(), TradeGridTitles());
    grid.SetRowHeight(0, grid.RowHeight(1));
    grid.SetTag(tag);
    // Widths and alignments are announced once each, not column by column.
    grid.SetVisible(false);
    AutoFitColumns(measurer ? *measurer : ApproximateTradeGridMeasurer(), grid, 0, nullptr);
    for (int c = 0; c < grid.Cols(); ++c)
        grid.SetColAlignment(c, TradeGrid::kAlignLeftCenter);
    grid.SetVisible(true);
}

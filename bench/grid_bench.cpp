// Trade grid operations on 20,000 and 40,000 rows: set-up and appending
// with order-number lookups, lookups of every appended trade, removal of
// 30 % of the rows, the column sum and the column fit, each against the
// straightforward way (FindCell scans, per-row DeleteRows from the bottom).
// The straightforward ways are run on a sample or for a fixed time and
// scaled up ("--quick" shortens that time). Ratios and growth use processor
// time, which a busy machine does not inflate; wall times are printed too.
// Prints "name value unit" lines.

#include "grid_trades.h"
#include "support/GridReference.h"

#include "core/grid/GridOperations.h"
#include "core/grid/GridSetup.h"
#include "core/grid/RowHeights.h"
#include "core/grid/TotalText.h"
#include "core/grid/TradeGrid.h"
#include "core/grid/TradeRows.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QRandomGenerator>

#include <cstdio>
#include <ctime>

namespace {

void Print(const QString& name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", qPrintable(name), value, unit);
    std::fflush(stdout);
}

class Clock {
public:
    void start()
    {
        wall_.start();
        cpu_ = std::clock();
    }
    double Ms() const { return double(wall_.nsecsElapsed()) / 1e6; }
    double CpuMs() const { return double(std::clock() - cpu_) * 1000.0 / CLOCKS_PER_SEC; }

private:
    QElapsedTimer wall_;
    std::clock_t cpu_ = 0;
};

int FastLookup(const TradeGrid& grid, const QString& text)
{
    return grid.FindOrderRow(text);
}

void BuildGrid(TradeGrid& grid, int rows, const QVector<QStringList>& trades)
{
    SetUpTradeGrid(grid);
    gridbench::AppendTrades(grid, rows, trades, FastLookup);
}

QVector<bool> MarkShare(const TradeGrid& grid, int percent)
{
    QRandomGenerator random(2);
    QVector<bool> marked(grid.Rows());
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r)
        marked[r] = int(random.bounded(100)) < percent;
    return marked;
}

// Cell moves that deleting the marked rows one by one from the bottom costs.
double MovesBottomUp(const TradeGrid& grid, const QVector<bool>& marked)
{
    double moves = 0;
    int rows = grid.Rows();
    for (int r = rows - 1; r >= grid.FixedRows(); --r)
        if (marked[r]) {
            moves += double(rows - 1 - r) * (grid.Cols() - 1);
            --rows;
        }
    return moves;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const double referenceBudgetMs = quick ? 500 : 3000;
    QMap<QString, double> first;

    for (const int rows : { 20000, 40000 }) {
        const QString n = QString::number(rows);
        const QVector<QStringList> trades = gridbench::MakeTrades(rows);
        Clock timer;
        auto report = [&](const QString& what) {
            const double cpuMs = timer.CpuMs();
            Print(QStringLiteral("grid_%1_wall_%2").arg(what, n), timer.Ms(), "ms");
            Print(QStringLiteral("grid_%1_cpu_%2").arg(what, n), cpuMs, "ms");
            if (rows == 20000)
                first[what] = cpuMs;
            else
                Print(
                    QStringLiteral("grid_%1_cpu_growth_40000_vs_20000").arg(what), cpuMs / first[what], "x");
            return cpuMs;
        };

        // Set-up and appending, each trade looked up first as the list parser does.
        TradeGrid grid;
        timer.start();
        BuildGrid(grid, rows, trades);
        report(QStringLiteral("setup_append"));

        // Lookups of every appended trade's order number.
        QStringList orders;
        for (int r = grid.FixedRows(); r < grid.Rows(); ++r)
            orders.append(grid.TextMatrix(r, ColOrderNumber));
        qint64 found = 0;
        timer.start();
        for (const QString& order : orders)
            found += grid.FindOrderRow(order) >= 0;
        const double lookupMs = report(QStringLiteral("lookup_all"));
        // FindCell scans for an evenly spread sample, scaled to every trade.
        const int sample = 400;
        timer.start();
        for (int i = 0; i < sample; ++i)
            found += gridref::ScanOrderRow(grid, orders[int(qint64(i) * orders.size() / sample)]) >= 0;
        const double scanMs = timer.CpuMs() * orders.size() / sample;
        Print(QStringLiteral("grid_lookup_all_findcell_scan_estimated_cpu_%1").arg(n), scanMs, "ms");
        Print(QStringLiteral("grid_lookup_all_speedup_%1").arg(n), scanMs / lookupMs, "x");
        if (found != orders.size() + sample)
            std::fprintf(stderr, "lookup mismatch\n");

        // Removal of 30 % of the rows.
        const QVector<bool> marked = MarkShare(grid, 30);
        TradeGrid bulk;
        BuildGrid(bulk, rows, trades);
        timer.start();
        const int removed = bulk.RemoveRowsWhere([&](int r) { return marked[r]; });
        const double bulkMs = report(QStringLiteral("remove_30pct"));
        Print(QStringLiteral("grid_remove_30pct_rows_%1").arg(n), removed, "rows");

        const double totalMoves = MovesBottomUp(grid, marked);
        double moves = 0;
        int rowsNow = grid.Rows();
        timer.start();
        for (int r = grid.Rows() - 1; r >= grid.FixedRows() && timer.CpuMs() < referenceBudgetMs; --r)
            if (marked[r]) {
                moves += double(rowsNow - 1 - r) * (grid.Cols() - 1);
                --rowsNow;
                gridref::DeleteRowsByShifting(grid, r, r);
            }
        const double perRowMs = timer.CpuMs() * (moves > 0 ? totalMoves / moves : 1.0);
        Print(QStringLiteral("grid_remove_30pct_per_row_deleterows_estimated_cpu_%1").arg(n), perRowMs, "ms");
        Print(QStringLiteral("grid_remove_30pct_speedup_%1").arg(n), perRowMs / bulkMs, "x");

        // Column sum of the amounts, averaged over a few runs.
        double sum = 0;
        const int repeats = 10;
        timer.start();
        for (int i = 0; i < repeats; ++i)
            sum += SumColumn(bulk, ColAmount);
        Print(QStringLiteral("grid_sum_column_cpu_%1").arg(n), timer.CpuMs() / repeats, "ms");
        if (sum <= 0)
            std::fprintf(stderr, "sum mismatch\n");

        // What follows a command that removes or folds rows: the trades the
        // grid still holds (for the findings), the rows' heights set again,
        // the status line's tally and the total in cents.
        timer.start();
        const QSet<QString> held = TradesInGrid(bulk);
        FitRowHeights(bulk);
        const GridTally tally = TallyGrid(bulk);
        const QString total = TotalLabelText(bulk, true);
        report(QStringLiteral("after_removal_bookkeeping"));
        if (held.size() != tally.trades || total.isEmpty())
            std::fprintf(stderr, "tally mismatch\n");

        // Column fit with the stand-in measurer (the real-font fit is
        // measured by bench_grid_fit).
        timer.start();
        AutoFitColumns(ApproximateTradeGridMeasurer(), bulk, 1, nullptr);
        report(QStringLiteral("autofit_approximate"));
    }
    return 0;
}

// Main-window commands without the window: removing closed trades (one bulk
// removal against the row-by-row bottom-up deletion it replaces, both with
// the same progress steps), the layout pass and the total label.
// Prints "name value unit" lines.

#include "core/grid/GridOperations.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/layout/WindowLayout.h"
#include "core/progress/Progress.h"
#include "core/session/Commands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

void FillGrid(TradeGrid& grid, int rows)
{
    SetUpTradeGrid(grid);
    grid.SetVisible(false);
    grid.SetRows(grid.FixedRows() + rows);
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r) {
        grid.SetTextMatrix(r, ColSequence, QString::number(r - 1));
        grid.SetTextMatrix(r, ColOrderNumber, QStringLiteral("4000%1").arg(r));
        grid.SetTextMatrix(r, ColItem, QStringLiteral("宝贝%1").arg(r % 97));
        // Every third trade closed, often several in a row.
        grid.SetTextMatrix(r, ColStatus,
            (r % 3 == 0 || r % 7 == 0) ? QStringLiteral("交易关闭") : QStringLiteral("交易成功"));
        grid.SetTextMatrix(r, ColAmount, QStringLiteral("%1.50").arg(r % 200));
    }
    grid.SetVisible(true);
}

// The deletion as a straightforward bottom-up walk, one row at a time.
void RemoveClosedRowByRow(TradeGrid& grid)
{
    Progress progress;
    StartProgress(progress, QStringLiteral("ref"), grid.Rows() - grid.FixedRows(), 0);
    for (int row = grid.Rows() - 1; row >= grid.FixedRows(); --row) {
        if (grid.TextMatrix(row, ColStatus) == QStringLiteral("交易关闭"))
            DeleteRows(grid, row, row);
        StepProgress(progress, 1, ProgressPagesMode());
    }
    CloseProgress(progress);
}

double Ms(QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    for (const int rows : { 2000, 20000 }) {
        TradeGrid bulk;
        FillGrid(bulk, rows);
        QElapsedTimer t;
        t.start();
        Progress progress;
        const int removed = RemoveClosedTrades(progress, bulk);
        const double bulkMs = Ms(t);
        if (removed == 0)
            std::fprintf(stderr, "remove_closed: no closed trades in the grid\n");

        TradeGrid reference;
        FillGrid(reference, rows);
        t.restart();
        RemoveClosedRowByRow(reference);
        const double referenceMs = Ms(t);

        bool same = bulk.Rows() == reference.Rows();
        for (int r = 0; same && r < bulk.Rows(); ++r)
            for (int c = 0; same && c < bulk.Cols(); ++c)
                same = bulk.TextMatrix(r, c) == reference.TextMatrix(r, c);
        std::printf("remove_closed_bulk_%d %.2f ms\n", rows, bulkMs);
        std::printf("remove_closed_rowwise_%d %.2f ms\n", rows, referenceMs);
        std::printf("remove_closed_speedup_%d %.1f x\n", rows, referenceMs / bulkMs);
        std::printf("remove_closed_same_grid_%d %d bool\n", rows, same ? 1 : 0);

        t.restart();
        const QString label = TotalLabelText(bulk, true);
        std::printf("total_label_%d %.3f ms\n", rows, Ms(t));
        (void)label;
    }

    MainWindowControls c = DesignControls();
    const LayoutSettingReader read = [](const QString&, const QString& def) { return def; };
    QElapsedTimer t;
    t.start();
    constexpr int passes = 100000;
    for (int i = 0; i < passes; ++i)
        c = LayOutMainWindow(12000 + i % 3000, 9000 + i % 2000, i % 2 == 0, c, read);
    std::printf("layout_pass %.3f us\n", Ms(t) * 1000.0 / passes);
    return 0;
}

#include "SheetPlan.h"

#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"

int SheetColumnWidth(int gridTwips)
{
    // 123 twips per spreadsheet width unit, the fraction dropped.
    return gridTwips > 0 ? gridTwips / 123 : 0;
}

SheetPlan PlanSheet(Progress& progress, const TradeGrid& grid, ExportNotes notes)
{
    SheetPlan plan;
    // Progress steps run the event loop: a row that disappeared meanwhile
    // ends the export command (GridRangeError) with the old file as it was,
    // rather than leaving a sheet that silently misses rows.
    const int rows = grid.Rows();
    const QVector<int> cols = ExportedColumns(grid, notes);
    for (int r = 0; r < rows; ++r) {
        if (grid.RowHeight(r) > 0) {
            SheetPlan::Row row;
            row.title = r < grid.FixedRows();
            const bool lastTitleRow = r == grid.FixedRows() - 1;
            for (const int c : cols) {
                if (grid.ColWidth(c) <= 0)
                    continue;
                row.cells.append(grid.TextMatrix(r, c));
                if (lastTitleRow) {
                    const int k = int(row.cells.size());
                    if (plan.columnWidths.size() < k)
                        plan.columnWidths.resize(k, -1);
                    plan.columnWidths[k - 1] = SheetColumnWidth(grid.ColWidth(c));
                }
            }
            plan.blockColumns = int(row.cells.size());
            plan.rows.append(std::move(row));
        }
        StepProgress(progress, 1, ProgressPagesMode());
    }
    return plan;
}

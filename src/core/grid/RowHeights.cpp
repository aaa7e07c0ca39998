#include "RowHeights.h"

#include "GridSteps.h"
#include "TradeGrid.h"
#include "core/trade/TradeColumns.h"

#include <algorithm>

int RowLines(const TradeGrid& grid, int row)
{
    int lines = 1;
    const int last = std::min(int(ColWaybill), grid.Cols() - 1);
    for (int col = ColOrderNumber; col <= last; ++col) {
        const QString& text = grid.TextMatrix(row, col);
        lines = std::max(lines, int(text.count(u'\n')) + 1);
    }
    return lines;
}

void FitRowHeights(TradeGrid& grid)
{
    const bool wasVisible = grid.Visible();
    grid.SetVisible(false);
    for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
        if (grid.RowHeight(row) != 0)
            grid.SetRowHeight(row, RowLines(grid, row) * TradeGrid::kDefaultRowHeight);
    }
    grid.SetVisible(wasVisible);
}

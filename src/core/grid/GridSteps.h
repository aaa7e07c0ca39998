#pragma once
// Grid accesses for operations that skip a failing step and go on with the
// next one (the parsers, the detail download, the merge): an access outside
// the grid ends only the step it belongs to.

#include "TradeGrid.h"
#include "core/base/Logging.h"

#include <QStringList>
#include <utility>

template <typename Step> void SkipOnGridError(Step&& step)
{
    try {
        std::forward<Step>(step)();
    } catch (const GridRangeError& error) {
        qCWarning(lcGrid) << "grid step skipped:" << error.what();
    }
}

// The cell's text, or an empty text for a cell outside the grid.
inline QString CellOrEmpty(const TradeGrid& grid, int row, int col)
{
    // Checked before the read: outside the grid is an expected case here.
    if (row < 0 || row >= grid.Rows() || col < 0 || col >= grid.Cols())
        return QString();
    return grid.TextMatrix(row, col);
}

// The order numbers of orders that the grid still holds, in their order;
// the others were deleted, filtered or cleared meanwhile.
inline QStringList OrdersStillInGrid(const TradeGrid& grid, const QStringList& orders)
{
    QStringList kept;
    for (const QString& order : orders)
        if (grid.FindOrderRow(order) >= 0)
            kept.append(order);
    return kept;
}

// Writes the cell; a cell outside the grid is left alone.
inline void SetCellIfInside(TradeGrid& grid, int row, int col, const QString& text)
{
    SkipOnGridError([&] { grid.SetTextMatrix(row, col, text); });
}

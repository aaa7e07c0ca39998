#pragma once
// Grid accesses for the places where a cell outside the grid is an expected
// case (the parsers, the detail download, the merge): checked before the
// access, so only a real fault reaches the command guard as a GridRangeError.

#include "TradeGrid.h"

#include <QStringList>

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
    if (row >= 0 && row < grid.Rows() && col >= 0 && col < grid.Cols())
        grid.SetTextMatrix(row, col, text);
}

#pragma once
// Grid accesses for operations that skip a failing step and go on with the
// next one (the parsers, the detail download, the merge): an access outside
// the grid ends only the step it belongs to.

#include "TradeGrid.h"
#include "core/base/Logging.h"

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
    try {
        return grid.TextMatrix(row, col);
    } catch (const GridRangeError&) {
        return QString();
    }
}

// Writes the cell; a cell outside the grid is left alone.
inline void SetCellIfInside(TradeGrid& grid, int row, int col, const QString& text)
{
    SkipOnGridError([&] { grid.SetTextMatrix(row, col, text); });
}

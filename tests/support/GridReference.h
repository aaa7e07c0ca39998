#pragma once
// The grid operations done the plain way, cell by cell through the grid's
// members: what the fast paths must match, and what the benchmark compares
// them with.

#include "core/grid/GridOperations.h"
#include "core/grid/TradeGrid.h"

#include <QStringList>
#include <algorithm>

namespace gridref {

// Deletes data rows first..last by copying every cell below the range up by
// the range's size, in every column but the sequence column, then lowering
// Rows.
inline void DeleteRowsByShifting(TradeGrid& grid, int first, int last)
{
    if (grid.FixedRows() == grid.Rows()) {
        grid.SetVisible(true);
        return;
    }
    grid.SetVisible(false);
    if (last < first)
        std::swap(first, last);
    if (first < grid.FixedRows())
        first = grid.FixedRows();
    if (last >= grid.Rows())
        last = grid.Rows() - 1;
    const qint64 count = qint64(last) - first + 1;
    if (count > 0) {
        const int seqCol = grid.FixedCols() - 1;
        for (qint64 i = first; i <= grid.Rows() - count - 1; ++i)
            for (int j = 0; j < grid.Cols(); ++j)
                if (j != seqCol)
                    grid.SetTextMatrix(int(i), j, grid.TextMatrix(int(i + count), j));
        grid.SetRows(int(grid.Rows() - count));
    }
    grid.SetVisible(true);
}

// Deletes every data row that drop marks, one row at a time from the bottom.
template <typename Predicate> void DeleteRowsOneByOne(TradeGrid& grid, Predicate drop)
{
    for (int r = grid.Rows() - 1; r >= grid.FixedRows(); --r)
        if (drop(r))
            DeleteRowsByShifting(grid, r, r);
}

// The first data row holding text in the order-number column, by scanning.
inline int ScanOrderRow(const TradeGrid& grid, const QString& text)
{
    if (grid.FixedCols() >= grid.Cols())
        return -1;
    return FindCell(grid, grid.FixedRows(), grid.FixedCols(), grid.Rows() - 1, grid.FixedCols(), text).first;
}

// Everything the grid holds that an operation may change.
struct Snapshot {
    int rows = 0;
    int cols = 0;
    int fixedRows = 0;
    int fixedCols = 0;
    QList<QStringList> cells;
    QList<int> rowHeights;
    QList<int> colWidths;
    QList<int> colAlignments;
    QString tag;
    bool visible = true;

    bool operator==(const Snapshot&) const = default;
};

inline Snapshot Snap(const TradeGrid& grid)
{
    Snapshot s;
    s.rows = grid.Rows();
    s.cols = grid.Cols();
    s.fixedRows = grid.FixedRows();
    s.fixedCols = grid.FixedCols();
    for (int r = 0; r < grid.Rows(); ++r) {
        QStringList row;
        for (int c = 0; c < grid.Cols(); ++c)
            row.append(grid.TextMatrix(r, c));
        s.cells.append(row);
        s.rowHeights.append(grid.RowHeight(r));
    }
    for (int c = 0; c < grid.Cols(); ++c) {
        s.colWidths.append(grid.ColWidth(c));
        s.colAlignments.append(grid.ColAlignment(c));
    }
    s.tag = grid.Tag();
    s.visible = grid.Visible();
    return s;
}

} // namespace gridref

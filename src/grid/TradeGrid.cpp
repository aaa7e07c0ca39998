#include "TradeGrid.h"

#include <algorithm>

namespace {
QString RangeMessage(const char* what, int index, int limit)
{
    return QStringLiteral("%1 %2 outside 0..%3").arg(QLatin1String(what)).arg(index).arg(limit - 1);
}
} // namespace

TradeGrid::TradeGrid(QObject* parent) : QAbstractTableModel(parent)
{
    // A fresh control: two rows, two columns, one fixed row and column.
    cells_.resize(2, QVector<QString>(cols_));
    rowHeights_.resize(2, kDefaultRowHeight);
    colWidths_.resize(cols_, kDefaultColWidth);
    colAlignments_.resize(cols_, 0);
}

void TradeGrid::CheckRow(int row) const
{
    if (row < 0 || row >= Rows())
        throw GridRangeError(RangeMessage("row", row, Rows()).toStdString());
}

void TradeGrid::CheckCol(int col) const
{
    if (col < 0 || col >= cols_)
        throw GridRangeError(RangeMessage("column", col, cols_).toStdString());
}

void TradeGrid::CheckCell(int row, int col) const
{
    CheckRow(row);
    CheckCol(col);
}

void TradeGrid::InvalidateOrderIndex() const
{
    orderIndexValid_ = false;
    orderIndex_.clear();
}

void TradeGrid::SetRows(int rows)
{
    if (rows < 0)
        throw GridRangeError(RangeMessage("row count", rows, INT_MAX).toStdString());
    const int old = Rows();
    if (rows == old)
        return;
    if (rows < fixedRows_)
        fixedRows_ = rows;
    const bool announce = visible_ && !pendingReset_;
    if (!visible_ && !pendingReset_) {
        beginResetModel();
        pendingReset_ = true;
    }
    if (rows > old) {
        if (announce)
            beginInsertRows({}, old, rows - 1);
        cells_.resize(rows, QVector<QString>(cols_));
        rowHeights_.resize(rows, kDefaultRowHeight);
        if (announce)
            endInsertRows();
        // New rows are empty, and empty texts are not indexed.
    } else {
        if (announce)
            beginRemoveRows({}, rows, old - 1);
        cells_.resize(rows);
        rowHeights_.resize(rows);
        if (announce)
            endRemoveRows();
        InvalidateOrderIndex();
    }
}

void TradeGrid::SetCols(int cols)
{
    if (cols < 0)
        throw GridRangeError(RangeMessage("column count", cols, INT_MAX).toStdString());
    if (cols == cols_)
        return;
    if (cols < fixedCols_)
        fixedCols_ = cols;
    const bool announce = visible_ && !pendingReset_;
    if (!visible_ && !pendingReset_) {
        beginResetModel();
        pendingReset_ = true;
    }
    if (announce) {
        if (cols > cols_)
            beginInsertColumns({}, cols_, cols - 1);
        else
            beginRemoveColumns({}, cols, cols_ - 1);
    }
    const bool growing = cols > cols_;
    for (auto& row : cells_)
        row.resize(cols);
    colWidths_.resize(cols, kDefaultColWidth);
    colAlignments_.resize(cols, 0);
    cols_ = cols;
    if (announce) {
        if (growing)
            endInsertColumns();
        else
            endRemoveColumns();
    }
    InvalidateOrderIndex();
}

void TradeGrid::SetFixedRows(int fixedRows)
{
    // As with the grid control, at least one scrollable row must remain.
    if (fixedRows < 0 || (fixedRows > 0 && fixedRows >= Rows()))
        throw GridRangeError(RangeMessage("fixed rows", fixedRows, Rows()).toStdString());
    fixedRows_ = fixedRows;
    InvalidateOrderIndex();
    NoteLayoutChanged();
}

void TradeGrid::SetFixedCols(int fixedCols)
{
    if (fixedCols < 0 || (fixedCols > 0 && fixedCols >= cols_))
        throw GridRangeError(RangeMessage("fixed columns", fixedCols, cols_).toStdString());
    fixedCols_ = fixedCols;
    InvalidateOrderIndex();
    NoteLayoutChanged();
}

const QString& TradeGrid::TextMatrix(int row, int col) const
{
    CheckCell(row, col);
    return cells_[row][col];
}

void TradeGrid::SetTextMatrix(int row, int col, const QString& text)
{
    CheckCell(row, col);
    QString& cell = cells_[row][col];
    if (cell == text)
        return;
    if (col == fixedCols_ && row >= fixedRows_ && orderIndexValid_) {
        auto it = orderIndex_.find(cell);
        if (it != orderIndex_.end() && it.value() == row)
            InvalidateOrderIndex(); // a later row may now be the first
        else if (!text.isEmpty()) {
            auto hit = orderIndex_.find(text);
            if (hit == orderIndex_.end() || hit.value() > row)
                orderIndex_.insert(text, row);
        }
    }
    cell = text;
    NoteCellChanged(row, col);
}

int TradeGrid::RowHeight(int row) const
{
    CheckRow(row);
    return rowHeights_[row];
}

void TradeGrid::SetRowHeight(int row, int twips)
{
    CheckRow(row);
    if (twips < 0)
        throw GridRangeError("negative row height");
    if (rowHeights_[row] == twips)
        return;
    rowHeights_[row] = twips;
    NoteLayoutChanged();
}

int TradeGrid::ColWidth(int col) const
{
    CheckCol(col);
    return colWidths_[col];
}

void TradeGrid::SetColWidth(int col, int twips)
{
    CheckCol(col);
    if (twips < 0)
        throw GridRangeError("negative column width");
    if (colWidths_[col] == twips)
        return;
    colWidths_[col] = twips;
    NoteLayoutChanged();
}

int TradeGrid::ColAlignment(int col) const
{
    CheckCol(col);
    return colAlignments_[col];
}

void TradeGrid::SetColAlignment(int col, int alignment)
{
    CheckCol(col);
    colAlignments_[col] = alignment;
    NoteLayoutChanged();
}

void TradeGrid::SetSelection(int row, int rowSel)
{
    row_ = row;
    rowSel_ = rowSel;
}

void TradeGrid::SetVisible(bool visible)
{
    visible_ = visible;
    if (!visible_)
        return;
    if (pendingReset_) {
        pendingReset_ = false;
        endResetModel();
    }
    if (pendingLayout_) {
        pendingLayout_ = false;
        emit layoutValuesChanged();
    }
}

void TradeGrid::NoteCellChanged(int row, int col)
{
    if (pendingReset_)
        return;
    if (!visible_) {
        beginResetModel();
        pendingReset_ = true;
        return;
    }
    const QModelIndex at = index(row, col);
    emit dataChanged(at, at, {Qt::DisplayRole});
}

void TradeGrid::NoteLayoutChanged()
{
    if (!visible_) {
        pendingLayout_ = true;
        return;
    }
    emit layoutValuesChanged();
}

int TradeGrid::RemoveRowsSorted(const QVector<int>& sortedRows)
{
    if (sortedRows.isEmpty())
        return 0;
    const int rows = Rows();
    const int seqCol = fixedCols_ - 1;
    const bool wasVisible = visible_;
    visible_ = false;
    if (!pendingReset_) {
        beginResetModel();
        pendingReset_ = true;
    }
    // Compact the non-sequence columns: kept rows move up in order.
    int write = sortedRows.front();
    qsizetype next = 0;
    for (int read = sortedRows.front(); read < rows; ++read) {
        if (next < sortedRows.size() && sortedRows[next] == read) {
            ++next;
            continue;
        }
        if (write != read) {
            QVector<QString>& dst = cells_[write];
            QVector<QString>& src = cells_[read];
            for (int c = 0; c < cols_; ++c)
                if (c != seqCol)
                    dst[c] = std::move(src[c]);
        }
        ++write;
    }
    const int removed = int(sortedRows.size());
    cells_.resize(rows - removed);
    rowHeights_.resize(rows - removed);
    InvalidateOrderIndex();
    if (wasVisible)
        SetVisible(true);
    return removed;
}

void TradeGrid::BuildOrderIndex() const
{
    orderIndex_.clear();
    const int col = fixedCols_;
    if (col < cols_) {
        orderIndex_.reserve(Rows());
        for (int r = fixedRows_; r < Rows(); ++r) {
            const QString& text = cells_[r][col];
            if (!text.isEmpty() && !orderIndex_.contains(text))
                orderIndex_.insert(text, r);
        }
    }
    orderIndexValid_ = true;
}

int TradeGrid::FindOrderRow(const QString& text) const
{
    const int col = fixedCols_;
    if (col >= cols_)
        return -1;
    if (text.isEmpty()) {
        for (int r = fixedRows_; r < Rows(); ++r)
            if (cells_[r][col].isEmpty())
                return r;
        return -1;
    }
    if (!orderIndexValid_)
        BuildOrderIndex();
    return orderIndex_.value(text, -1);
}

int TradeGrid::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Rows(); }

int TradeGrid::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

QVariant TradeGrid::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Rows() || index.column() >= cols_)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cells_[index.row()][index.column()];
    case Qt::TextAlignmentRole: {
        // Grid alignment codes: 0-2 left, 3-5 centre, 6-8 right; top/centre/bottom within each.
        const int code = colAlignments_[index.column()];
        Qt::Alignment horizontal = code >= 6 ? Qt::AlignRight : code >= 3 ? Qt::AlignHCenter : Qt::AlignLeft;
        Qt::Alignment vertical = (code % 3 == 0) ? Qt::AlignTop : (code % 3 == 1) ? Qt::AlignVCenter : Qt::AlignBottom;
        return QVariant::fromValue(int(horizontal | vertical));
    }
    default:
        return {};
    }
}

bool TradeGrid::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    SetTextMatrix(index.row(), index.column(), value.toString());
    return true;
}

Qt::ItemFlags TradeGrid::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

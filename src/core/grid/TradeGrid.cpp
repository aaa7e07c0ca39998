#include "TradeGrid.h"

#include <algorithm>
#include <climits>

namespace {

QString RangeMessage(const char* what, qint64 index, qint64 limit)
{
    return QStringLiteral("%1 %2 outside 0..%3").arg(QLatin1String(what)).arg(index).arg(limit - 1);
}

[[noreturn]] void Refuse(const QString& message)
{
    throw GridRangeError(message.toStdString());
}

bool LooksNumeric(const QString& text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
}

} // namespace

TradeGrid::TradeGrid(QObject* parent)
    : QAbstractTableModel(parent)
{
    // A fresh control: two rows, two columns, one fixed row and column.
    cells_.resize(2, QVector<QString>(cols_));
    rowHeights_.resize(2, kDefaultRowHeight);
    colWidths_.resize(cols_, kDefaultColWidth);
    colAlignments_.resize(cols_, kAlignGeneral);
}

void TradeGrid::CheckRow(int row) const
{
    if (row < 0 || row >= Rows())
        Refuse(RangeMessage("row", row, Rows()));
}

void TradeGrid::CheckCol(int col) const
{
    if (col < 0 || col >= cols_)
        Refuse(RangeMessage("column", col, cols_));
}

void TradeGrid::CheckCell(int row, int col) const
{
    CheckRow(row);
    CheckCol(col);
}

void TradeGrid::CheckShape(qint64 rows, qint64 cols) const
{
    if (rows < 0)
        Refuse(RangeMessage("row count", rows, INT_MAX));
    if (cols < 0)
        Refuse(RangeMessage("column count", cols, INT_MAX));
    if (rows * cols > kMaxCells)
        Refuse(
            QStringLiteral("%1 x %2 cells exceed the grid's limit of %3").arg(rows).arg(cols).arg(kMaxCells));
}

bool TradeGrid::BeginChange()
{
    ++revision_;
    if (pendingReset_)
        return false;
    if (!visible_) {
        // The whole hidden period becomes one reset, ended by SetVisible(true).
        beginResetModel();
        pendingReset_ = true;
        return false;
    }
    return true;
}

void TradeGrid::ClampSelection()
{
    const int last = std::max(Rows() - 1, 0);
    row_ = std::min(row_, last);
    rowSel_ = std::min(rowSel_, last);
}

void TradeGrid::SetRows(int rows)
{
    CheckShape(rows, cols_);
    const int old = Rows();
    if (rows == old)
        return;
    const bool announce = BeginChange();
    if (rows > old) {
        if (announce)
            beginInsertRows({}, old, rows - 1);
        cells_.resize(rows, QVector<QString>(cols_));
        rowHeights_.resize(rows, kDefaultRowHeight);
        if (announce)
            endInsertRows();
        // New rows are empty, and empty texts are not indexed.
        return;
    }
    if (announce)
        beginRemoveRows({}, rows, old - 1);
    cells_.resize(rows);
    rowHeights_.resize(rows);
    if (announce)
        endRemoveRows();
    if (rows < fixedRows_) {
        fixedRows_ = rows;
        NoteLayoutChanged();
    }
    ClampSelection();
    // A text whose first row went has no later row left either.
    if (orderIndexValid_)
        orderIndex_.removeIf([rows](const QHash<QString, int>::iterator it) { return it.value() >= rows; });
}

void TradeGrid::SetCols(int cols)
{
    CheckShape(Rows(), cols);
    if (cols == cols_)
        return;
    const bool announce = BeginChange();
    const bool growing = cols > cols_;
    if (announce) {
        if (growing)
            beginInsertColumns({}, cols_, cols - 1);
        else
            beginRemoveColumns({}, cols, cols_ - 1);
    }
    for (auto& row : cells_)
        row.resize(cols);
    colWidths_.resize(cols, kDefaultColWidth);
    colAlignments_.resize(cols, kAlignGeneral);
    cols_ = cols;
    if (announce) {
        if (growing)
            endInsertColumns();
        else
            endRemoveColumns();
    }
    if (cols < fixedCols_) {
        fixedCols_ = cols;
        NoteLayoutChanged();
    }
    InvalidateOrderIndex();
}

void TradeGrid::SetFixedRows(int fixedRows)
{
    // As with the grid control, at least one scrollable row must remain.
    if (fixedRows < 0 || (fixedRows > 0 && fixedRows >= Rows()))
        Refuse(RangeMessage("fixed rows", fixedRows, Rows()));
    if (fixedRows == fixedRows_)
        return;
    fixedRows_ = fixedRows;
    InvalidateOrderIndex();
    NoteLayoutChanged();
}

void TradeGrid::SetFixedCols(int fixedCols)
{
    if (fixedCols < 0 || (fixedCols > 0 && fixedCols >= cols_))
        Refuse(RangeMessage("fixed columns", fixedCols, cols_));
    if (fixedCols == fixedCols_)
        return;
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
    const bool announce = BeginChange();
    if (col == fixedCols_ && row >= fixedRows_)
        NoteOrderCellChange(row, cell, text);
    cell = text;
    if (announce)
        NoteCellChanged(row, col);
}

void TradeGrid::NoteOrderCellChange(int row, const QString& oldText, const QString& newText)
{
    if (!orderIndexValid_)
        return;
    const auto old = orderIndex_.constFind(oldText);
    if (old != orderIndex_.constEnd() && old.value() == row) {
        // A later row holding the old text would now be the first; finding
        // it takes a scan, so leave that to the next lookup.
        InvalidateOrderIndex();
        return;
    }
    if (newText.isEmpty())
        return;
    const auto hit = orderIndex_.find(newText);
    if (hit == orderIndex_.end())
        orderIndex_.insert(newText, row);
    else if (hit.value() > row)
        hit.value() = row;
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
        Refuse(QStringLiteral("negative row height %1").arg(twips));
    if (rowHeights_[row] == twips)
        return;
    rowHeights_[row] = twips;
    if (visible_)
        emit rowHeightChanged(row);
    else
        pendingLayout_ = true;
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
        Refuse(QStringLiteral("negative column width %1").arg(twips));
    if (colWidths_[col] == twips)
        return;
    colWidths_[col] = twips;
    if (visible_)
        emit colWidthChanged(col);
    else
        pendingLayout_ = true;
}

int TradeGrid::ColAlignment(int col) const
{
    CheckCol(col);
    return colAlignments_[col];
}

void TradeGrid::SetColAlignment(int col, int alignment)
{
    CheckCol(col);
    if (alignment < 0 || alignment > kAlignGeneral)
        Refuse(QStringLiteral("alignment %1 outside 0..%2").arg(alignment).arg(kAlignGeneral));
    if (colAlignments_[col] == alignment)
        return;
    colAlignments_[col] = alignment;
    if (!visible_) {
        pendingLayout_ = true;
        return;
    }
    if (Rows() > 0 && !pendingReset_)
        emit dataChanged(index(0, col), index(Rows() - 1, col), { Qt::TextAlignmentRole });
}

Qt::Alignment TradeGrid::CellAlignment(int col, const QString& text) const
{
    const int code = (col >= 0 && col < cols_) ? colAlignments_[col] : kAlignGeneral;
    if (code == kAlignGeneral)
        return Qt::AlignVCenter | (LooksNumeric(text) ? Qt::AlignRight : Qt::AlignLeft);
    const Qt::Alignment horizontal = code >= 6 ? Qt::AlignRight
        : code >= 3                            ? Qt::AlignHCenter
                                               : Qt::AlignLeft;
    const Qt::Alignment vertical = code % 3 == 0 ? Qt::AlignTop
        : code % 3 == 1                          ? Qt::AlignVCenter
                                                 : Qt::AlignBottom;
    return horizontal | vertical;
}

void TradeGrid::SetSelection(int row, int rowSel)
{
    row_ = row;
    rowSel_ = rowSel;
}

void TradeGrid::SetVisible(bool visible)
{
    const bool changed = visible != visible_;
    visible_ = visible;
    if (visible_) {
        if (pendingReset_) {
            pendingReset_ = false;
            endResetModel();
        }
        if (pendingLayout_) {
            pendingLayout_ = false;
            emit layoutValuesChanged();
        }
    }
    if (changed)
        emit visibleChanged(visible_);
}

void TradeGrid::NoteCellChanged(int row, int col)
{
    // Shared, so that filling thousands of rows does not allocate a role list per cell.
    static const QList<int> textRoles { Qt::DisplayRole, Qt::EditRole };
    const QModelIndex at = index(row, col);
    emit dataChanged(at, at, textRoles);
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
    int previous = fixedRows_ - 1;
    for (const int r : sortedRows) {
        if (r <= previous || r >= rows)
            Refuse(QStringLiteral("row %1 to remove is not a data row in increasing order").arg(r));
        previous = r;
    }
    const bool announce = BeginChange();
    const int seqCol = fixedCols_ - 1;
    const int first = sortedRows.front();
    const int kept = rows - int(sortedRows.size());

    // Kept rows move up in order, in every column but the sequence column,
    // which stays with its position so the numbers still read 1 … n.
    int write = first;
    qsizetype next = 0;
    for (int read = first; read < rows; ++read) {
        if (next < sortedRows.size() && sortedRows[next] == read) {
            ++next;
            continue;
        }
        QVector<QString>& dst = cells_[write];
        QVector<QString>& src = cells_[read];
        for (int c = 0; c < cols_; ++c)
            if (c != seqCol)
                dst[c] = std::move(src[c]);
        ++write;
    }
    // Texts changed in place above the cut, then the tail goes: announced
    // in that order so every signal describes the model as it then is.
    if (announce && first < kept)
        emit dataChanged(index(first, 0), index(kept - 1, cols_ - 1), { Qt::DisplayRole, Qt::EditRole });
    if (announce)
        beginRemoveRows({}, kept, rows - 1);
    cells_.resize(kept);
    rowHeights_.resize(kept);
    if (announce)
        endRemoveRows();
    ClampSelection();
    InvalidateOrderIndex();
    return int(sortedRows.size());
}

void TradeGrid::InvalidateOrderIndex() const
{
    orderIndexValid_ = false;
    orderIndex_.clear();
}

void TradeGrid::BuildOrderIndex() const
{
    orderIndex_.clear();
    const int col = fixedCols_;
    if (col < cols_) {
        orderIndex_.reserve(std::max(Rows() - fixedRows_, 0));
        // Bottom up, so the upper row of a repeated text overwrites the lower.
        for (int r = Rows() - 1; r >= fixedRows_; --r) {
            const QString& text = cells_[r][col];
            if (!text.isEmpty())
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

int TradeGrid::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Rows();
}

int TradeGrid::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : cols_;
}

QVariant TradeGrid::data(const QModelIndex& index, int role) const
{
    // A view may paint from stale indices while a hidden batch is pending.
    if (!index.isValid() || index.row() >= Rows() || index.column() >= cols_)
        return {};
    const QString& text = cells_[index.row()][index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(int(CellAlignment(index.column(), text)));
    default:
        return {};
    }
}

bool TradeGrid::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)
        || role != Qt::EditRole)
        return false;
    SetTextMatrix(index.row(), index.column(), value.toString());
    return true;
}

Qt::ItemFlags TradeGrid::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

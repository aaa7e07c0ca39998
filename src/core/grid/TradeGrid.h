#pragma once
// The trade grid: the only store of trade data. A table of text cells with
// the members the rest of the program reads and writes it through (Rows,
// Cols, TextMatrix …, named after the grid control they stand for), and a
// Qt item model so a view can show it.

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <QVector>

#include <stdexcept>

// Raised by an access outside the grid or by a shape the grid refuses (more
// cells than kMaxCells); the grid is never left half-changed by it.
// Why an exception here, when everything else in core returns its outcome:
// the grid is read and written cell by cell in hundreds of places, each a
// step of a parser, the merge or a writer, and what a bad index means is
// always the same (the command ends, the grid keeps what the steps before
// it did). A value at every cell access would be dropped or repeated in
// each of them. It is caught in one place, the session's command guard
// (CommandSession::Guarded), which logs it and tells the seller; code that
// expects an index outside the grid checks first (CellOrEmpty,
// SetCellIfInside). The one other catch is the crash-recovery offer at
// start-up, which runs before any command.
class GridRangeError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

class TradeGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    // Twips; a 9 point CJK line is about 18 pixels, so a row made n times as
    // tall as the default (as merged rows are) shows n lines in full.
    static constexpr int kDefaultRowHeight = 300;
    static constexpr int kDefaultColWidth = 960; // twips
    // Alignment codes of ColAlignment: 0-2 left, 3-5 centre, 6-8 right (each
    // top, centre, bottom); 9 is "general": text left, numbers right.
    static constexpr int kAlignLeftCenter = 1;
    static constexpr int kAlignGeneral = 9;
    // Rows × Cols may not exceed this; a larger shape is refused rather than
    // exhausting memory.
    static constexpr qint64 kMaxCells = 10'000'000;

    explicit TradeGrid(QObject* parent = nullptr);

    // Shape. Raising appends empty rows/columns, lowering drops from the end.
    int Rows() const { return int(cells_.size()); }
    void SetRows(int rows);
    int Cols() const { return cols_; }
    void SetCols(int cols);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int fixedRows);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int fixedCols);

    // Cells. Out-of-range indices throw GridRangeError.
    const QString& TextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, const QString& text);

    // Row heights and column widths in twips; 0 hides.
    int RowHeight(int row) const;
    void SetRowHeight(int row, int twips);
    int ColWidth(int col) const;
    void SetColWidth(int col, int twips);
    int ColAlignment(int col) const;
    void SetColAlignment(int col, int alignment);

    // The user's selection: the row where it starts and where it ends.
    // Lowering Rows pulls both back inside the grid.
    int Row() const { return row_; }
    int RowSel() const { return rowSel_; }
    void SetSelection(int row, int rowSel);

    QString Tag() const { return tag_; }
    void SetTag(const QString& tag) { tag_ = tag; }

    // While hidden, changes are collected and announced once when shown.
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    // Whether the grid holds data rows whose texts or rows changed since
    // NoteExported; a fresh or emptied grid has nothing to lose.
    bool HasUnexportedRows() const { return Rows() > fixedRows_ && revision_ != exportedRevision_; }
    // A file now holds the grid as it is.
    void NoteExported() { exportedRevision_ = revision_; }

    // Width of the control in twips (set by the view).
    int Width() const { return width_; }
    void SetWidth(int twips) { width_ = twips; }

    // Removes every data row for which drop(row) is true, moving texts up in
    // every column but the sequence column exactly as deleting each of those
    // rows one at a time from the bottom would. Row heights stay with their
    // row positions. Linear in the number of cells.
    template <typename Predicate> int RemoveRowsWhere(Predicate drop);
    // The same with the rows given as a strictly increasing list of data
    // rows; any other list throws GridRangeError and changes nothing.
    int RemoveRowsSorted(const QVector<int>& sortedRows);

    // Fast lookup of a text in the order-number column (FixedCols) of the
    // data rows: the same answer as a FindCell scan over that column.
    // Returns the first row holding text, or -1.
    int FindOrderRow(const QString& text) const;

    // The Qt alignment a view uses for a cell of col holding text.
    Qt::Alignment CellAlignment(int col, const QString& text) const;

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // Any of row heights, column widths, alignment or the fixed counts may
    // have changed (after a batch, or a change of the fixed counts).
    void layoutValuesChanged();
    // One value changed while the grid is visible.
    void rowHeightChanged(int row);
    void colWidthChanged(int col);
    void visibleChanged(bool visible);

private:
    void CheckCell(int row, int col) const;
    void CheckRow(int row) const;
    void CheckCol(int col) const;
    void CheckShape(qint64 rows, qint64 cols) const;
    // Called before a change of cell texts or of the shape. Returns true when
    // the change must be announced with its own signals (visible, no batch).
    bool BeginChange();
    void NoteCellChanged(int row, int col);
    void NoteLayoutChanged();
    void ClampSelection();
    void InvalidateOrderIndex() const;
    void BuildOrderIndex() const;
    void NoteOrderCellChange(int row, const QString& oldText, const QString& newText);

    QVector<QVector<QString>> cells_;
    QVector<int> rowHeights_;
    QVector<int> colWidths_;
    QVector<int> colAlignments_;
    int cols_ = 2;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    int row_ = 1;
    int rowSel_ = 1;
    QString tag_;
    bool visible_ = true;
    int width_ = 10095;
    // Counts changes of texts and rows; widths, heights and the selection
    // are not data a file would miss.
    quint64 revision_ = 0;
    quint64 exportedRevision_ = 0;

    // Batching while hidden: one model reset spans the hidden period.
    bool pendingReset_ = false;
    bool pendingLayout_ = false;

    // Order-number index: text -> first data row holding it in column
    // FixedCols. Empty texts are not indexed. Kept up to date by cell writes
    // and appends, rebuilt lazily after removals and shape changes.
    mutable QHash<QString, int> orderIndex_;
    mutable bool orderIndexValid_ = false;
};

template <typename Predicate> int TradeGrid::RemoveRowsWhere(Predicate drop)
{
    QVector<int> rows;
    for (int r = fixedRows_; r < Rows(); ++r)
        if (drop(r))
            rows.append(r);
    return RemoveRowsSorted(rows);
}

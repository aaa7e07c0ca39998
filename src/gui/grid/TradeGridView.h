#pragma once
// Shows the trade grid: the fixed rows frozen at the top (drawn by the
// header), the fixed columns in the fixed-cell colour, row heights and
// column widths from the grid in twips, multi-line cells in full on tall
// rows. The fixed columns are frozen at the left by an overlay that stays
// put while the view scrolls sideways. The user's selection feeds the grid's
// Row and RowSel, and the view's width its Width.

#include "TradeGridDelegate.h"
#include "core/trade/Finding.h"

#include <QFont>
#include <QHash>
#include <QStringList>
#include <QTableView>

class FrozenColumnsView;
class TradeGrid;
class TradeGridHeader;

// SimSun 9 point, or the nearest installed CJK font at 9 point.
QFont TradeGridFont();

class TradeGridView : public QTableView {
    Q_OBJECT
public:
    explicit TradeGridView(TradeGrid* grid, QWidget* parent = nullptr);

    TradeGrid* Grid() const { return grid_; }
    TradeGridHeader* FixedRowsHeader() const { return header_; }
    FrozenColumnsView* FrozenColumns() const { return frozen_; }

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

    // The findings whose cells are tinted: refused red, to check yellow,
    // every cell a finding left empty or doubts (FindingColumns), on the
    // rows of its trade, merged or not.
    void SetFindings(const FindingList& findings);
    TradeGridDelegate::Tint CellTint(int row, int col) const;
    // What a cell's tooltip says: the findings that tinted it, and a note
    // cell's whole text with its line breaks; empty for none.
    QString CellToolTip(int row, int col) const;

    // Selects the rows top … bottom (data rows) as the seller would, the
    // current cell in col brought into sight; the grid's Row and RowSel
    // follow, so the commands act on what is highlighted.
    void SelectRows(int top, int bottom, int col);
    // Shows the grid's Row … RowSel as the view's selection (none when they
    // cover no data row), after a command changed them.
    void ShowGridSelection();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    bool viewportEvent(QEvent* event) override;

private:
    void ApplyLayoutValues();
    void ApplyRowHeight(int row);
    void ApplyColWidth(int col);
    void ApplyFixedRowsHeight();
    void OnRowsInserted(int first, int last);
    void RememberScroll();
    void RestoreAfterReset();
    void TakeSelection();

    TradeGrid* grid_;
    TradeGridHeader* header_;
    TradeGridDelegate* delegate_ = nullptr;
    // What findings said of one cell: the heaviest tint and their reasons.
    struct CellMark {
        TradeGridDelegate::Tint tint = TradeGridDelegate::Tint::None;
        QStringList reasons;
    };
    // The marks of the cells of the trades' rows: trade → column → mark.
    QHash<QString, QHash<int, CellMark>> marks_;
    FrozenColumnsView* frozen_ = nullptr;
    bool showingGridSelection_ = false;
    int scrollBeforeReset_ = 0;
    int sideScrollBeforeReset_ = 0;
};

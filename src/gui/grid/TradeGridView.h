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

    // The findings whose cells are tinted: refused red, to check yellow (a
    // finding on the whole trade tints its order number).
    void SetFindings(const FindingList& findings);
    TradeGridDelegate::Tint CellTint(int row, int col) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;

private:
    void ApplyLayoutValues();
    void ApplyRowHeight(int row);
    void ApplyColWidth(int col);
    void ApplyFixedRowsHeight();
    void OnRowsInserted(int first, int last);
    void RememberScroll();
    void RestoreAfterReset();
    void ShowGridSelection();
    void TakeSelection();

    TradeGrid* grid_;
    TradeGridHeader* header_;
    TradeGridDelegate* delegate_ = nullptr;
    // Order number → column → the heaviest tint a finding gave it.
    QHash<QString, QHash<int, TradeGridDelegate::Tint>> tints_;
    FrozenColumnsView* frozen_ = nullptr;
    bool showingGridSelection_ = false;
    int scrollBeforeReset_ = 0;
    int sideScrollBeforeReset_ = 0;
};

#pragma once
// The trade grid's fixed columns, laid over the left edge of the grid view so
// they stay in place while the view scrolls sideways. It shows the same
// model through the same selection model, draws its own copy of the fixed
// rows for those columns (the top-left corner), has no scroll bars of its
// own and scrolls up and down with the view it covers. The covered view
// tells it when rows and columns change; it copies their sizes from there.

#include <QTableView>

class TradeGrid;
class TradeGridHeader;

class FrozenColumnsView : public QTableView {
    Q_OBJECT
public:
    // Becomes a child of view, over its viewport; view must already show grid.
    FrozenColumnsView(TradeGrid* grid, QTableView* view);

    TradeGridHeader* FixedRowsHeader() const { return header_; }

    // Width in pixels the overlay covers at the left of the view's viewport.
    int CoveredWidth() const;

    // Copy one row's, one column's or every size from the covered view.
    void SyncRow(int row);
    void SyncColumn(int col);
    void SyncColumns();
    void SyncFixedRowsHeight();
    // Place over the covered view's header and viewport.
    void UpdatePlacement();

private:
    void FollowViewScroll();
    void LeadViewScroll(int value);

    TradeGrid* grid_;
    QTableView* view_;
    TradeGridHeader* header_;
};

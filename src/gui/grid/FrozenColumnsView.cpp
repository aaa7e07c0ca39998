#include "FrozenColumnsView.h"

#include "TradeGridDelegate.h"
#include "TradeGridHeader.h"
#include "core/grid/TradeGrid.h"

#include <QHeaderView>
#include <QScrollBar>

FrozenColumnsView::FrozenColumnsView(TradeGrid* grid, QTableView* view)
    : QTableView(view)
    , grid_(grid)
    , view_(view)
    , header_(new TradeGridHeader(grid, this))
{
    setFont(view_->font());
    header_->setFont(view_->font());
    setHorizontalHeader(header_);
    // A delegate is not shared between views: each view closes its own editors.
    setItemDelegate(new TradeGridDelegate(grid_, this));
    setModel(grid_);
    // The view's own selection model is replaced, and not deleted by Qt.
    QItemSelectionModel* own = selectionModel();
    setSelectionModel(view_->selectionModel());
    delete own;

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(view_->verticalHeader()->defaultSectionSize());
    setEditTriggers(view_->editTriggers());
    setSelectionMode(view_->selectionMode());
    setSelectionBehavior(view_->selectionBehavior());
    setWordWrap(view_->wordWrap());
    setTextElideMode(view_->textElideMode());
    setShowGrid(view_->showGrid());
    // Same scroll mode as the covered view, so one scroll value means the same
    // rows in both.
    setVerticalScrollMode(view_->verticalScrollMode());
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setCornerButtonEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    // Keys go to the covered view, which moves the shared current cell.
    setFocusPolicy(Qt::NoFocus);

    QScrollBar* viewBar = view_->verticalScrollBar();
    connect(viewBar, &QAbstractSlider::valueChanged, this, &FrozenColumnsView::FollowViewScroll);
    connect(viewBar, &QAbstractSlider::rangeChanged, this, &FrozenColumnsView::FollowViewScroll);
    connect(verticalScrollBar(), &QAbstractSlider::rangeChanged, this, &FrozenColumnsView::FollowViewScroll);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, this, &FrozenColumnsView::LeadViewScroll);
    connect(
        view_->horizontalHeader(), &QHeaderView::sectionResized, this, &FrozenColumnsView::UpdatePlacement);

    for (int r = 0; r < grid_->Rows(); ++r)
        SyncRow(r);
    SyncColumns();
    SyncFixedRowsHeight();
}

int FrozenColumnsView::CoveredWidth() const
{
    int width = 0;
    const int frozen = std::min(grid_->FixedCols(), grid_->Cols());
    for (int c = 0; c < frozen; ++c)
        width += view_->columnWidth(c); // 0 when hidden
    return std::min(width, view_->viewport()->width());
}

void FrozenColumnsView::SyncRow(int row)
{
    if (row < 0 || row >= model()->rowCount())
        return;
    const bool hide = view_->isRowHidden(row);
    if (hide != isRowHidden(row))
        setRowHidden(row, hide);
    if (!hide && rowHeight(row) != view_->rowHeight(row))
        setRowHeight(row, view_->rowHeight(row));
}

void FrozenColumnsView::SyncColumn(int col)
{
    if (col < 0 || col >= model()->columnCount())
        return;
    const bool hide = col >= grid_->FixedCols() || view_->isColumnHidden(col);
    if (hide != isColumnHidden(col))
        setColumnHidden(col, hide);
    if (!hide && columnWidth(col) != view_->columnWidth(col))
        setColumnWidth(col, view_->columnWidth(col));
    UpdatePlacement();
}

void FrozenColumnsView::SyncColumns()
{
    for (int c = 0; c < model()->columnCount(); ++c)
        SyncColumn(c);
}

void FrozenColumnsView::SyncFixedRowsHeight()
{
    header_->setVisible(!view_->horizontalHeader()->isHidden());
    header_->updateGeometry();
    updateGeometries();
    header_->viewport()->update();
    UpdatePlacement();
}

void FrozenColumnsView::UpdatePlacement()
{
    const int width = CoveredWidth();
    const QRect viewport = view_->viewport()->geometry();
    // The header sits right above the viewport; the overlay spans both but
    // leaves the scroll bars uncovered.
    const int headerHeight = !header_->isHidden() ? header_->sizeHint().height() : 0;
    const int top = viewport.top() - headerHeight;
    setGeometry(viewport.left(), top, width, viewport.bottom() + 1 - top);
    setVisible(width > 0);
    FollowViewScroll();
}

void FrozenColumnsView::FollowViewScroll()
{
    verticalScrollBar()->setValue(view_->verticalScrollBar()->value());
}

void FrozenColumnsView::LeadViewScroll(int value)
{
    // While the two have not laid out the same rows yet (their ranges
    // differ), a value here is only this view clamping itself: the covered
    // view's position stands.
    QScrollBar* viewBar = view_->verticalScrollBar();
    if (verticalScrollBar()->maximum() == viewBar->maximum()
        && verticalScrollBar()->minimum() == viewBar->minimum())
        viewBar->setValue(value);
}

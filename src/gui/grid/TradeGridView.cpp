#include "TradeGridView.h"

#include "FindingCells.h"
#include "FrozenColumnsView.h"
#include "TradeGridDelegate.h"
#include "TradeGridHeader.h"
#include "core/grid/GridSetup.h"
#include "core/grid/GridSteps.h"
#include "core/grid/TradeGrid.h"
#include "core/grid/TradeRows.h"
#include "gui/base/Twips.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QHelpEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QToolTip>
#include <cmath>

QFont TradeGridFont()
{
    static const char* const preferred[] = {
        "SimSun",
        "宋体",
        "NSimSun",
        "Noto Sans CJK SC",
        "Noto Serif CJK SC",
        "Source Han Sans SC",
        "WenQuanYi Zen Hei",
        "WenQuanYi Micro Hei",
        "AR PL UMing CN",
        "Droid Sans Fallback",
    };
    const QStringList installed = QFontDatabase::families();
    QFont font;
    for (const char* family : preferred) {
        const QString name = QString::fromUtf8(family);
        if (installed.contains(name, Qt::CaseInsensitive)) {
            font.setFamily(name);
            break;
        }
    }
    font.setPointSize(9);
    return font;
}

TradeGridView::TradeGridView(TradeGrid* grid, QWidget* parent)
    : QTableView(parent)
    , grid_(grid)
    , header_(new TradeGridHeader(grid, this))
{
    setFont(TradeGridFont());
    header_->setFont(font());
    setHorizontalHeader(header_);
    delegate_ = new TradeGridDelegate(grid_, this);
    delegate_->SetTints([this](int row, int col) { return CellTint(row, col); });
    setItemDelegate(delegate_);
    setModel(grid_);

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(TwipsToPixels(TradeGrid::kDefaultRowHeight));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setCornerButtonEnabled(false);
    // Made before the connections below, so that on a reset or a change of
    // rows the overlay's own sections are already updated when this view
    // copies its sizes over to it.
    frozen_ = new FrozenColumnsView(grid_, this);

    connect(grid_, &TradeGrid::layoutValuesChanged, this, &TradeGridView::ApplyLayoutValues);
    connect(grid_, &TradeGrid::rowHeightChanged, this, &TradeGridView::ApplyRowHeight);
    connect(grid_, &TradeGrid::colWidthChanged, this, &TradeGridView::ApplyColWidth);
    // A hidden grid is in the middle of a batch: keep the last picture
    // instead of painting half-changed rows, and repaint once when shown.
    connect(grid_, &TradeGrid::visibleChanged, this, [this](bool visible) { setUpdatesEnabled(visible); });
    connect(grid_, &QAbstractItemModel::modelAboutToBeReset, this, &TradeGridView::RememberScroll);
    connect(grid_, &QAbstractItemModel::modelReset, this, &TradeGridView::RestoreAfterReset);
    connect(grid_, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex&, int first, int last) { OnRowsInserted(first, last); });
    connect(
        grid_, &QAbstractItemModel::columnsInserted, this, [this](const QModelIndex&, int first, int last) {
            for (int c = first; c <= last; ++c)
                ApplyColWidth(c);
        });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &TradeGridView::TakeSelection);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &TradeGridView::TakeSelection);

    setUpdatesEnabled(grid_->Visible());
    ApplyLayoutValues();
}

void TradeGridView::ApplyRowHeight(int row)
{
    if (row < 0 || row >= grid_->Rows())
        return;
    if (row < grid_->FixedRows()) {
        // Fixed rows are drawn by the header.
        setRowHidden(row, true);
        frozen_->SyncRow(row);
        ApplyFixedRowsHeight();
        return;
    }
    const int twips = grid_->RowHeight(row);
    setRowHidden(row, twips == 0);
    if (twips != 0)
        setRowHeight(row, TwipsToPixels(twips));
    frozen_->SyncRow(row);
}

void TradeGridView::ApplyColWidth(int col)
{
    if (col < 0 || col >= grid_->Cols())
        return;
    const int twips = grid_->ColWidth(col);
    setColumnHidden(col, twips == 0);
    if (twips != 0)
        setColumnWidth(col, TwipsToPixels(twips));
    frozen_->SyncColumn(col);
}

void TradeGridView::ApplyFixedRowsHeight()
{
    header_->setVisible(grid_->FixedRows() > 0);
    header_->updateGeometry();
    updateGeometries();
    header_->viewport()->update();
    frozen_->SyncFixedRowsHeight();
}

void TradeGridView::ApplyLayoutValues()
{
    // Only rows that differ from a fresh header section need a call, so a
    // grid of many default rows is laid out in one cheap pass.
    QHeaderView* rows = verticalHeader();
    for (int r = 0; r < grid_->Rows(); ++r) {
        const int twips = grid_->RowHeight(r);
        const bool hide = r < grid_->FixedRows() || twips == 0;
        if (hide != rows->isSectionHidden(r))
            setRowHidden(r, hide);
        if (!hide && rows->sectionSize(r) != TwipsToPixels(twips))
            setRowHeight(r, TwipsToPixels(twips));
        frozen_->SyncRow(r);
    }
    for (int c = 0; c < grid_->Cols(); ++c)
        ApplyColWidth(c);
    ApplyFixedRowsHeight();
    viewport()->update();
    frozen_->viewport()->update();
}

void TradeGridView::OnRowsInserted(int first, int last)
{
    // New rows have the default height; only rows among the fixed ones
    // (a grid grown from nothing) need hiding.
    for (int r = first; r <= last && r < grid_->FixedRows(); ++r)
        ApplyRowHeight(r);
}

void TradeGridView::RememberScroll()
{
    scrollBeforeReset_ = verticalScrollBar()->value();
    sideScrollBeforeReset_ = horizontalScrollBar()->value();
}

void TradeGridView::RestoreAfterReset()
{
    ApplyLayoutValues();
    updateGeometries();
    verticalScrollBar()->setValue(scrollBeforeReset_);
    horizontalScrollBar()->setValue(sideScrollBeforeReset_);
    ShowGridSelection();
}

void TradeGridView::ShowGridSelection()
{
    // A reset clears the view's selection, but the grid keeps Row and RowSel
    // (the delete command acts on them): show the rows they span, and
    // nothing when they span no data row.
    const int lastRow = grid_->Rows() - 1;
    const int top = std::min(grid_->Row(), grid_->RowSel());
    const int bottom = std::min(std::max(grid_->Row(), grid_->RowSel()), lastRow);
    showingGridSelection_ = true;
    if (top < grid_->FixedRows() || top > bottom || grid_->Cols() <= grid_->FixedCols()) {
        selectionModel()->clearSelection();
        showingGridSelection_ = false;
        return;
    }
    const QItemSelection rows(grid_->index(top, grid_->FixedCols()), grid_->index(bottom, grid_->Cols() - 1));
    selectionModel()->setCurrentIndex(
        grid_->index(grid_->RowSel() <= lastRow ? grid_->RowSel() : bottom, grid_->FixedCols()),
        QItemSelectionModel::NoUpdate);
    selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    showingGridSelection_ = false;
}

void TradeGridView::SelectRows(int top, int bottom, int col)
{
    if (top < grid_->FixedRows() || bottom < top || bottom >= grid_->Rows()
        || grid_->Cols() <= grid_->FixedCols())
        return;
    col = std::clamp(col, grid_->FixedCols(), grid_->Cols() - 1);
    const QModelIndex current = grid_->index(bottom, col);
    // Through the selection model, as a click would: the grid takes the
    // selection from the view (TakeSelection), never the other way round.
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    selectionModel()->select(
        QItemSelection(grid_->index(top, grid_->FixedCols()), grid_->index(bottom, grid_->Cols() - 1)),
        QItemSelectionModel::ClearAndSelect);
    grid_->SetSelection(top, bottom);
    scrollTo(current, PositionAtCenter);
}

void TradeGridView::TakeSelection()
{
    if (showingGridSelection_)
        return;
    const QModelIndex current = currentIndex();
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty()) {
        if (current.isValid())
            grid_->SetSelection(current.row(), current.row());
        return;
    }
    int top = selection.first().top();
    int bottom = selection.first().bottom();
    for (const QItemSelectionRange& range : selection) {
        top = std::min(top, range.top());
        bottom = std::max(bottom, range.bottom());
    }
    // The current cell is where the selection was extended to; the other end
    // is where it started.
    const bool currentInside = current.isValid() && current.row() >= top && current.row() <= bottom;
    const int end = currentInside ? current.row() : bottom;
    const int start = end == top ? bottom : top;
    grid_->SetSelection(start, end);
}

void TradeGridView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    // The viewport's resizes arrive here too; the grid's Width is the whole control's.
    grid_->SetWidth(int(std::lround(PixelsToTwips(width()))));
}

void TradeGridView::updateGeometries()
{
    QTableView::updateGeometries();
    // Also called while the base class is being set up, before the overlay exists.
    if (frozen_)
        frozen_->UpdatePlacement();
}

void TradeGridView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid() || !frozen_) {
        QTableView::scrollTo(index, hint);
        return;
    }
    if (index.column() < grid_->FixedCols()) {
        // The frozen columns are always in sight (a click on the overlay makes
        // one current): only the rows may need to scroll, not the sides.
        const int side = horizontalScrollBar()->value();
        QTableView::scrollTo(index, hint);
        horizontalScrollBar()->setValue(side);
        return;
    }
    QTableView::scrollTo(index, hint);
    // A cell brought into sight from the left must not end up under the overlay.
    const int covered = frozen_->isHidden() ? 0 : frozen_->CoveredWidth();
    const QRect cell = visualRect(index);
    if (cell.isValid() && cell.left() < covered)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (covered - cell.left()));
}

void TradeGridView::SetFindings(const FindingList& findings)
{
    marks_.clear();
    QHash<QString, int> rowOfTrade;
    for (const Finding& finding : findings.All()) {
        if (!finding.ConcernsTrade() || finding.severity == FindingSeverity::Note)
            continue;
        if (rowOfTrade.isEmpty())
            rowOfTrade = TradeRowIndex(*grid_);
        const int row = rowOfTrade.value(finding.orderNumber, -1);
        if (row < 0)
            continue; // refused without a row
        const auto tint = finding.severity == FindingSeverity::Refused ? TradeGridDelegate::Tint::Refused
                                                                       : TradeGridDelegate::Tint::ToCheck;
        auto& cols = marks_[finding.orderNumber];
        for (const int col : FindingColumns(finding, *grid_, row)) {
            CellMark& mark = cols[col];
            if (mark.tint != TradeGridDelegate::Tint::Refused)
                mark.tint = tint;
            mark.reasons.append(FindingLine(finding));
        }
    }
    viewport()->update();
}

TradeGridDelegate::Tint TradeGridView::CellTint(int row, int col) const
{
    if (marks_.isEmpty() || row < grid_->FixedRows())
        return TradeGridDelegate::Tint::None;
    TradeGridDelegate::Tint tint = TradeGridDelegate::Tint::None;
    // A merged row holds several trades: the heaviest of their tints.
    for (const QString& trade : TradesOfOrderCell(CellOrEmpty(*grid_, row, ColOrderNumber))) {
        const auto cols = marks_.constFind(trade);
        if (cols == marks_.cend())
            continue;
        const auto mark = cols->constFind(col);
        if (mark == cols->cend())
            continue;
        if (tint != TradeGridDelegate::Tint::Refused)
            tint = mark->tint;
    }
    return tint;
}

QString TradeGridView::CellToolTip(int row, int col) const
{
    if (row < grid_->FixedRows() || row >= grid_->Rows())
        return QString();
    QStringList lines;
    if (!marks_.isEmpty()) {
        for (const QString& trade : TradesOfOrderCell(CellOrEmpty(*grid_, row, ColOrderNumber))) {
            const auto cols = marks_.constFind(trade);
            if (cols != marks_.cend())
                lines += cols->value(col).reasons;
        }
    }
    // A message or memo is the buyer's or seller's own text, often longer
    // than its column and of several lines: the tooltip shows it whole.
    if (col == ColBuyerMessage || col == ColSellerMemo) {
        QString text = CellOrEmpty(*grid_, row, col);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
        if (!text.isEmpty())
            lines.append(text);
    }
    return lines.join(u'\n');
}

bool TradeGridView::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString tip = index.isValid() ? CellToolTip(index.row(), index.column()) : QString();
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, viewport(), visualRect(index));
    return true;
}

#include "TradeGridHeader.h"

#include "core/grid/TradeGrid.h"
#include "gui/base/Twips.h"

#include <QPainter>
#include <QStyleOptionHeader>

TradeGridHeader::TradeGridHeader(TradeGrid* grid, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent)
    , grid_(grid)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(0);
}

int TradeGridHeader::FixedRowsHeight() const
{
    int height = 0;
    const int fixedRows = std::min(grid_->FixedRows(), grid_->Rows());
    for (int r = 0; r < fixedRows; ++r)
        height += TwipsToPixels(grid_->RowHeight(r));
    return height;
}

QSize TradeGridHeader::sizeHint() const
{
    return { QHeaderView::sizeHint().width(), FixedRowsHeight() };
}

void TradeGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (logicalIndex < 0 || logicalIndex >= grid_->Cols())
        return;
    const int fixedRows = std::min(grid_->FixedRows(), grid_->Rows());
    int top = rect.top();
    for (int r = 0; r < fixedRows; ++r) {
        const int height = TwipsToPixels(grid_->RowHeight(r));
        if (height <= 0)
            continue;
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.rect = QRect(rect.left(), top, rect.width(), height);
        option.section = logicalIndex;
        option.position = QStyleOptionHeader::Middle;
        option.text = grid_->TextMatrix(r, logicalIndex);
        option.textAlignment = grid_->CellAlignment(logicalIndex, option.text);
        painter->save();
        style()->drawControl(QStyle::CE_Header, &option, painter, this);
        painter->restore();
        top += height;
    }
}

#include "SplitterBar.h"

#include <QMouseEvent>
#include <QPainter>

SplitterBar::SplitterBar(int index, Qt::Orientation movesAlong, QWidget* parent)
    : QWidget(parent)
    , index_(index)
{
    setCursor(movesAlong == Qt::Horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SplitterBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(128, 0, 0));
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::LeftButton)
        emit dragged(index_);
}

void SplitterBar::mouseReleaseEvent(QMouseEvent*)
{
    emit released(index_);
}

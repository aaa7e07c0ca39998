#include "BrowserInputBlocker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

BrowserInputBlocker::BrowserInputBlocker(QWidget* browser)
    : QObject(browser)
    , browser_(browser)
{
}

BrowserInputBlocker::~BrowserInputBlocker()
{
    SetBlocking(false);
}

void BrowserInputBlocker::SetBlocking(bool blocking)
{
    if (blocking == blocking_)
        return;
    blocking_ = blocking;
    if (blocking)
        QCoreApplication::instance()->installEventFilter(this);
    else
        QCoreApplication::instance()->removeEventFilter(this);
}

bool BrowserInputBlocker::eventFilter(QObject* watched, QEvent* event)
{
    if (!blocking_ || !browser_ || !watched->isWidgetType() || !IsUserInput(event->type()))
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    return widget == browser_ || browser_->isAncestorOf(widget);
}

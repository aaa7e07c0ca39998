#include "BrowserLoadWatch.h"

#include "core/base/EventWait.h"

#include <QWebEngineView>

BrowserLoadWatch::BrowserLoadWatch(QWebEngineView* view)
    : QObject(view)
{
    connect(view, &QWebEngineView::loadStarted, this, [this] { ++started_; });
    connect(view, &QWebEngineView::loadFinished, this, [this] { finished_ = started_; });
}

void BrowserLoadWatch::Arm()
{
    startedAtArm_ = started_;
}

bool BrowserLoadWatch::WaitLoaded(int timeoutMs)
{
    // Done once a load began after Arm() and every load begun so far has finished.
    return WaitUntil([this] { return started_ > startedAtArm_ && finished_ == started_; }, timeoutMs);
}

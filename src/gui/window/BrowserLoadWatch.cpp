#include "BrowserLoadWatch.h"

#include "core/base/EventWait.h"

#include <QWebEngineView>

BrowserLoadWatch::BrowserLoadWatch(QWebEngineView* view)
    : QObject(view)
    , view_(view)
{
    connect(view, &QWebEngineView::loadStarted, this, [this] { ++started_; });
    connect(view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        finished_ = started_;
        lastFailed_ = !ok;
    });
}

void BrowserLoadWatch::RetryLoad()
{
    view_->reload();
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

#include "BrowserLoadWatch.h"

#include "core/base/EventWait.h"

#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

BrowserLoadWatch::BrowserLoadWatch(QWebEngineView* view)
    : QObject(view)
    , view_(view)
{
    connect(view, &QWebEngineView::loadStarted, this, [this] { ++started_; });
    connect(view, &QWebEngineView::loadFinished, this, [this] { finished_ = started_; });
    // Told before loadFinished. A page that came with a status below 500 (a
    // missing page, a refusal) is an answer: waiting for the network would
    // not bring another.
    connect(view->page(), &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            lastFailed_ = false;
        else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
            lastFailed_ = info.errorDomain() != QWebEngineLoadingInfo::HttpStatusCodeDomain || info.errorCode() >= 500;
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

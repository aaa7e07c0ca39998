#include "FirstPageUpdateCheck.h"

#include "core/session/RunContext.h"
#include "core/update/UpdateCheck.h"

FirstPageUpdateCheck::FirstPageUpdateCheck(RunContext& run)
    : run_(run)
{
    timer_.setObjectName(QStringLiteral("firstPageTimer"));
    timer_.setInterval(kFirstPageTimerMs);
    connect(&timer_, &QTimer::timeout, this, &FirstPageUpdateCheck::OnTick);
}

void FirstPageUpdateCheck::Start(UpdateHost& host, std::function<void()> firstPage)
{
    host_ = &host;
    firstPage_ = std::move(firstPage);
    pagesFinished_ = 0;
    state_.Reset();
    timer_.start();
}

void FirstPageUpdateCheck::PageFinished()
{
    if (pagesFinished_ < 1)
        ++pagesFinished_;
}

void FirstPageUpdateCheck::OnTick()
{
    if (pagesFinished_ != 1 || !host_)
        return;
    timer_.stop();
    running_ = true;
    if (firstPage_)
        firstPage_();
    // The published version stays in state_ for whoever asks.
    CheckForUpdate(state_, run_.fetcher, run_.endpoints.updateUrl, *host_, kProductNumber);
    running_ = false;
}

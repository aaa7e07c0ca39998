#include "PageFetchQueue.h"

#include "HttpGetPage.h"
#include "PageFetchJob.h"
#include "PageFetcher.h"

#include <QEventLoop>
#include <QTimer>

PageFetchQueue::PageFetchQueue(PageFetcher& fetcher, int maxInFlight, QString marker, int timeoutSeconds)
    : fetcher_(fetcher)
    , maxInFlight_(qMax(1, maxInFlight))
    , marker_(std::move(marker))
    , timeoutSeconds_(timeoutSeconds)
{
}

PageFetchQueue::~PageFetchQueue()
{
    CancelRest();
}

void PageFetchQueue::Add(const QString& key, const QString& address)
{
    entries_.push_back({ key, address, nullptr });
}

// A finished download not yet handed back keeps its place, so a stand-in
// fetcher that answers at once alternates with the caller's writing.
void PageFetchQueue::StartWaiting()
{
    int started = 0;
    for (Entry& entry : entries_) {
        if (started >= maxInFlight_)
            break;
        if (!entry.job)
            entry.job.reset(fetcher_.StartPageFetch(entry.address, marker_, timeoutSeconds_));
        ++started;
    }
}

std::optional<PageFetchQueue::Done> PageFetchQueue::TakeFinished()
{
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        const PageFetchJob* job = it->job.get();
        if (!job || !job->IsFinished())
            continue;
        Done done { it->key, job->Result(), job->ResponseWritten() ? job->Response() : QString() };
        entries_.erase(it);
        return done;
    }
    return std::nullopt;
}

std::optional<PageFetchQueue::Done> PageFetchQueue::Next(const std::function<bool()>& stop)
{
    if (entries_.empty() || (stop && stop()))
        return std::nullopt;
    StartWaiting();
    if (auto done = TakeFinished())
        return done;

    QEventLoop loop;
    bool ourQuit = false;
    auto quit = [&] {
        ourQuit = true;
        loop.quit();
    };
    for (const Entry& entry : entries_)
        if (entry.job)
            QObject::connect(entry.job.get(), &PageFetchJob::Finished, &loop, quit);
    QTimer stopCheck;
    if (stop) {
        QObject::connect(&stopCheck, &QTimer::timeout, &loop, [&] {
            if (stop())
                quit();
        });
        stopCheck.start(kStopCheckMs);
    }
    loop.exec();
    for (const Entry& entry : entries_)
        if (entry.job)
            QObject::disconnect(entry.job.get(), &PageFetchJob::Finished, &loop, nullptr);
    // Woken by anything but a finished download (a stop, the application
    // quitting): the unfinished ones stay for CancelRest.
    if (!ourQuit || (stop && stop()))
        return std::nullopt;
    return TakeFinished();
}

QStringList PageFetchQueue::CancelRest()
{
    QStringList keys;
    for (const Entry& entry : entries_) {
        keys.append(entry.key);
        if (entry.job)
            entry.job->Cancel();
    }
    entries_.clear();
    return keys;
}

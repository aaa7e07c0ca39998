#include "PageFetchQueue.h"

#include "HostReachability.h"
#include "HttpGetPage.h"
#include "PageFetchJob.h"
#include "PageFetcher.h"

#include <QEventLoop>
#include <QTimer>
#include <utility>

PageFetchQueue::PageFetchQueue(
    PageFetcher& fetcher, int maxInFlight, QString marker, int timeoutSeconds, HostReachability& host)
    : fetcher_(fetcher)
    , maxInFlight_(qMax(1, maxInFlight))
    , marker_(std::move(marker))
    , timeoutSeconds_(timeoutSeconds)
    , host_(host)
    , probeLeft_(host.IsUnreachable())
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
        if (!entry.job) {
            const bool probe = host_.IsUnreachable();
            if (probe && !std::exchange(probeLeft_, false))
                break;
            const FetchRules rules {
                .attempts = probe ? 1 : kPageAttempts, .retryAfterTimeout = false, .host = &host_
            };
            entry.job.reset(fetcher_.StartPageFetch(entry.address, marker_, timeoutSeconds_, rules));
        }
        ++started;
    }
}

std::optional<PageFetchQueue::Done> PageFetchQueue::TakeFinished()
{
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        const PageFetchJob* job = it->job.get();
        if (!job || !job->IsFinished())
            continue;
        Done done { it->key, job->Status(), job->ResponseWritten() ? job->Response() : QString() };
        entries_.erase(it);
        return done;
    }
    return std::nullopt;
}

// With the host unreachable, a download not started fails without a try,
// once those under way have ended.
std::optional<PageFetchQueue::Done> PageFetchQueue::TakeUnsent()
{
    if (!host_.IsUnreachable() || entries_.empty())
        return std::nullopt;
    for (const Entry& entry : entries_)
        if (entry.job)
            return std::nullopt;
    Done done { entries_.front().key, FetchStatus::Failed, QString() };
    entries_.erase(entries_.begin());
    return done;
}

std::optional<PageFetchQueue::Done> PageFetchQueue::Next(const std::function<bool()>& stop)
{
    if (entries_.empty() || (stop && stop()))
        return std::nullopt;
    StartWaiting();
    if (auto done = TakeFinished())
        return done;
    if (auto unsent = TakeUnsent())
        return unsent;

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

#include "PageFetchQueue.h"

#include "HostReachability.h"
#include "PageFetchJob.h"
#include "PageFetcher.h"

#include <QEventLoop>
#include <QTimer>
#include <utility>

bool NetworkWait::Holds(const HostReachability& host) const
{
    return maxMs != 0 && host.IsUnreachable() && (maxMs < 0 || host.UnreachableForMs() < maxMs);
}

PageFetchQueue::PageFetchQueue(PageFetcher& fetcher, int maxInFlight, QString marker, int timeoutSeconds,
    HostReachability& host, const FetchRules& rules, const NetworkWait& wait)
    : fetcher_(fetcher)
    , maxInFlight_(qMax(1, maxInFlight))
    , marker_(std::move(marker))
    , timeoutSeconds_(timeoutSeconds)
    , host_(host)
    , rules_(rules)
    , wait_(wait)
    // A wait for the network that has run out is not followed by a probe.
    , probeLeft_(host.IsUnreachable() && (wait.maxMs == 0 || wait.Holds(host)))
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
            if (probe && (started > 0 || !ProbeDue()))
                break;
            if (probe) {
                probeLeft_ = false;
                lastProbe_.start();
            }
            FetchRules rules = rules_;
            rules.attempts = probe ? 1 : kPageAttempts;
            rules.retryAfterTimeout = false;
            rules.host = &host_;
            entry.job.reset(fetcher_.StartPageFetch(entry.address, marker_, timeoutSeconds_, rules));
        }
        ++started;
    }
}

// One download at a time tells whether an unreachable host is back: the
// first at once, later ones a probe interval apart while the wait holds.
bool PageFetchQueue::ProbeDue() const
{
    if (probeLeft_)
        return true;
    return wait_.Holds(host_) && (!lastProbe_.isValid() || lastProbe_.elapsed() >= wait_.probeEveryMs);
}

std::optional<PageFetchQueue::Done> PageFetchQueue::TakeFinished()
{
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        const PageFetchJob* job = it->job.get();
        if (!job || !job->IsFinished())
            continue;
        // Failed while the host is away: it waits for the network again.
        if (job->Status() != FetchStatus::Arrived && wait_.Holds(host_)) {
            it->job.reset();
            continue;
        }
        Done done { it->key, job->Status(), job->ResponseWritten() ? job->Response() : QString(),
            job->TimedOut(), job->LoginAnswered() };
        entries_.erase(it);
        return done;
    }
    return std::nullopt;
}

// With the host unreachable, a download not started fails without a try,
// once those under way have ended. When a wait for the network has run
// out, a probe still under way is not waited for either.
std::optional<PageFetchQueue::Done> PageFetchQueue::TakeUnsent()
{
    if (!host_.IsUnreachable() || wait_.Holds(host_) || entries_.empty())
        return std::nullopt;
    const bool waitedOut = wait_.maxMs != 0;
    for (Entry& entry : entries_) {
        if (!entry.job)
            continue;
        if (!waitedOut)
            return std::nullopt;
        entry.job->Cancel();
        entry.job.reset();
    }
    Done done { entries_.front().key, FetchStatus::Failed, QString() };
    entries_.erase(entries_.begin());
    return done;
}

std::optional<PageFetchQueue::Done> PageFetchQueue::Next(const std::function<bool()>& stop)
{
    for (;;) {
        if (entries_.empty() || (stop && stop()))
            return std::nullopt;
        StartWaiting();
        if (auto done = TakeFinished())
            return done;
        if (auto unsent = TakeUnsent())
            return unsent;
        if (!WaitForChange(stop))
            return std::nullopt;
    }
}

bool PageFetchQueue::WaitForChange(const std::function<bool()>& stop)
{
    QEventLoop loop;
    bool ourQuit = false;
    auto quit = [&] {
        ourQuit = true;
        loop.quit();
    };
    for (const Entry& entry : entries_) {
        if (!entry.job)
            continue;
        QObject::connect(entry.job.get(), &PageFetchJob::Finished, &loop, quit);
    }
    QTimer stopCheck;
    if (stop) {
        QObject::connect(&stopCheck, &QTimer::timeout, &loop, [&] {
            if (stop())
                quit();
        });
        stopCheck.start(kStopCheckMs);
    }
    // While waiting for the network, the next probe (or the wait's end)
    // comes on a timer of its own.
    QTimer probeTime;
    probeTime.setSingleShot(true);
    if (wait_.Holds(host_)) {
        QObject::connect(&probeTime, &QTimer::timeout, &loop, quit);
        const qint64 sinceProbe = lastProbe_.isValid() ? lastProbe_.elapsed() : wait_.probeEveryMs;
        qint64 sleepMs = qMax<qint64>(0, wait_.probeEveryMs - sinceProbe);
        if (wait_.maxMs > 0)
            sleepMs = qMin(sleepMs, qMax<qint64>(0, wait_.maxMs - host_.UnreachableForMs()));
        probeTime.start(int(qMin<qint64>(sleepMs + 1, 60 * 1000)));
    }
    loop.exec();
    for (const Entry& entry : entries_)
        if (entry.job)
            QObject::disconnect(entry.job.get(), nullptr, &loop, nullptr);
    // Woken by anything but our own events (a stop, the application
    // quitting): the unfinished downloads stay for CancelRest.
    return ourQuit && !(stop && stop());
}

QStringList PageFetchQueue::DropWaiting()
{
    QStringList keys;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->job) {
            ++it;
            continue;
        }
        keys.append(it->key);
        it = entries_.erase(it);
    }
    return keys;
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

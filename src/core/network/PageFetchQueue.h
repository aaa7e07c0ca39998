#pragma once
// Page downloads with at most a given number in flight. Results come back
// one at a time, in the order they finish, to the caller's own loop, so
// what the caller does with a result (write the grid, step the progress)
// never runs inside a reply's signal and never meets a stale row index.
//
// The downloads are one pass against one host (HostReachability): an
// attempt that ran into the time-out is not repeated, and once the host
// counts as unreachable the downloads under way end and those not started
// come back failed at once. A queue that begins with the host unreachable
// first sends one download, with one attempt, to learn whether it is back.

#include "PageFetchJob.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class HostReachability;
class PageFetchJob;
class PageFetcher;

class PageFetchQueue {
public:
    struct Done {
        QString key;
        FetchStatus status = FetchStatus::Failed;
        QString response; // empty when no attempt completed
    };

    PageFetchQueue(
        PageFetcher& fetcher, int maxInFlight, QString marker, int timeoutSeconds, HostReachability& host);
    // Cancels what still runs.
    ~PageFetchQueue();
    PageFetchQueue(const PageFetchQueue&) = delete;
    PageFetchQueue& operator=(const PageFetchQueue&) = delete;

    // Downloads start in the order they were added.
    void Add(const QString& key, const QString& address);

    // Starts waiting downloads up to the limit, then waits in the event
    // loop (the window stays live) until one has finished and returns it.
    // Nothing when all are done, when stop() turned true (asked about every
    // kStopCheckMs), or when the application is quitting; what did not
    // finish then stays for CancelRest().
    std::optional<Done> Next(const std::function<bool()>& stop = {});

    // Aborts the running downloads and drops the waiting ones; returns the
    // keys of both, in the order they were added.
    QStringList CancelRest();

    static constexpr int kStopCheckMs = 100;

private:
    struct Entry {
        QString key;
        QString address;
        std::unique_ptr<PageFetchJob> job; // none while it waits to start
    };

    void StartWaiting();
    std::optional<Done> TakeFinished();
    std::optional<Done> TakeUnsent();

    PageFetcher& fetcher_;
    int maxInFlight_;
    QString marker_;
    int timeoutSeconds_;
    HostReachability& host_;
    bool probeLeft_; // the host was unreachable when the queue began
    std::vector<Entry> entries_; // not yet handed back, in the order added
};

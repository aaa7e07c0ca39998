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
//
// With a network wait, an unreachable host does not fail the downloads:
// those that failed go back to waiting, one of them is sent (with one
// attempt) every probe interval, and once the host answers the queue goes
// on where it was. Only when the host has been unreachable for the whole
// wait do the downloads left fail as without one.

#include "PageFetchJob.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class HostReachability;
class PageFetchJob;
class PageFetcher;

// How long downloads wait for an unreachable host to answer again.
struct NetworkWait {
    static constexpr int kDefaultProbeEveryMs = 3000;
    qint64 maxMs = 0; // 0: no wait; negative: without a limit
    int probeEveryMs = kDefaultProbeEveryMs;
    // The host has been unreachable for less than the wait.
    bool Holds(const HostReachability& host) const;
};

class PageFetchQueue {
public:
    struct Done {
        QString key;
        FetchStatus status = FetchStatus::Failed;
        QString response; // empty when no attempt completed
        bool timedOut = false; // the host answered, the page did not come in time
        bool loginPage = false; // answered by the login page: the session has ended
    };

    // rules gives the time limits of each attempt; its attempts and host
    // are the queue's own.
    PageFetchQueue(PageFetcher& fetcher, int maxInFlight, QString marker, int timeoutSeconds, HostReachability& host,
        const FetchRules& rules = {}, const NetworkWait& wait = {});
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

    // Drops the downloads not yet started, leaving those under way to end;
    // returns the keys dropped, in the order they were added.
    QStringList DropWaiting();

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
    bool ProbeDue() const;
    std::optional<Done> TakeFinished();
    std::optional<Done> TakeUnsent();
    // Waits for a download to finish, a stop, or (while waiting for the
    // network) the next probe's time. False on a stop or when quitting.
    bool WaitForChange(const std::function<bool()>& stop);

    PageFetcher& fetcher_;
    int maxInFlight_;
    QString marker_;
    int timeoutSeconds_;
    HostReachability& host_;
    FetchRules rules_;
    NetworkWait wait_;
    bool probeLeft_; // the host was unreachable when the queue began
    QElapsedTimer lastProbe_;
    std::vector<Entry> entries_; // not yet handed back, in the order added
};

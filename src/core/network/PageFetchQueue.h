#pragma once
// Page downloads with at most a given number in flight. Results come back
// one at a time, in the order they finish, to the caller's own loop, so
// what the caller does with a result (write the grid, step the progress)
// never runs inside a reply's signal and never meets a stale row index.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class PageFetchJob;
class PageFetcher;

class PageFetchQueue {
public:
    struct Done {
        QString key;
        QString result; // "" or "网络错误！"
        QString response; // empty when no attempt completed
    };

    PageFetchQueue(PageFetcher& fetcher, int maxInFlight, QString marker, int timeoutSeconds);
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

    PageFetcher& fetcher_;
    int maxInFlight_;
    QString marker_;
    int timeoutSeconds_;
    std::vector<Entry> entries_; // not yet handed back, in the order added
};

#pragma once
// What one extraction command shares from its first page to the fetch of
// the failed trades at its end: whether the trade host still answers, how
// long one attempt may take (as a whole, to its first byte, and without
// progress), how long the downloads wait for the network when the host is
// away, how far the list has been read, how many trades the history gave
// and whether it took what was downloaded. The command owns it, hands it
// down and reads it at its end; a test builds one with short times.

#include "core/network/HostReachability.h"
#include "core/network/PageFetchJob.h"
#include "core/network/PageFetchQueue.h"

struct DetailDownloadPass {
    static constexpr int kDefaultAttemptTimeoutSeconds = 60;

    explicit DetailDownloadPass(int attemptTimeoutSeconds = kDefaultAttemptTimeoutSeconds,
        int unreachableAfterMs = HostReachability::kDefaultGiveUpMs)
        : attemptTimeoutSeconds(attemptTimeoutSeconds)
        , host(unreachableAfterMs)
    {
    }

    const int attemptTimeoutSeconds;
    HostReachability host;
    // The first-byte and stall limits of each attempt.
    FetchRules limits;
    // None by default: the host's absence ends the downloads.
    NetworkWait wait;
    // List pages read so far, the one being read included.
    int listPage = 0;
    // The walk stopped on a list page of which not one trade could be read.
    bool stoppedOnUnreadablePage = false;
    // A list page said the list is empty ("没有符合条件的宝贝").
    bool listSaidEmpty = false;
    // Trades the first list page gave: a later page before the last that
    // gives fewer is named.
    int firstPageTrades = 0;
    // Trades whose columns the history gave instead of a download.
    int fromHistory = 0;
    // A page the history did not take (logged by the history); the grid
    // has it either way.
    bool historyWriteFailed = false;
    // A detail page was answered by the login page: the session has ended.
    bool sessionEnded = false;
};

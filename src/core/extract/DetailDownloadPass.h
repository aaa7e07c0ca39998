#pragma once
// What one extraction command shares from its first page to the fetch of
// the failed trades at its end: whether the trade host still answers, how
// long one attempt may take, how far the list has been read and how many
// trades the history gave. The command owns it and hands it down; a test
// builds one with short times.

#include "core/network/HostReachability.h"

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
    // List pages read so far, the one being read included.
    int listPage = 0;
    // The walk stopped on a list page of which not one trade could be read.
    bool stoppedOnUnreadablePage = false;
    // Trades whose columns the history gave instead of a download.
    int fromHistory = 0;
};

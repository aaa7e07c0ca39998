#pragma once
// What the detail downloads of one extraction command share, from its first
// page to the fetch of the failed trades at its end: whether the trade host
// still answers, and how long one attempt may take. The command owns it and
// hands it down; a test builds one with short times.

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
};

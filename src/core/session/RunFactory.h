#pragma once
// The one place a run of the tool is built whole: the window's run and the
// unattended export both open theirs here, from the settings read once, so
// the two are built alike. The run gets every service at once (prompt,
// progress view, checkpoint, text measurer, the history the settings and
// the command line ask for, the download count and the network wait) and
// nothing is put in place later.

#include "RunContext.h"

#include <memory>

class TradeHistory;

// What the caller gives a run beside the settings. None is owned; each
// must outlive the run.
struct RunPlan {
    UserPrompt* prompt = nullptr;
    Endpoints endpoints = DefaultEndpoints();
    const TextMeasurer* measurer = nullptr;
    GridRecovery* checkpoint = nullptr;
    ProgressView* progressView = nullptr;
    // --detail-downloads; none: the setting.
    std::optional<int> detailDownloads = std::nullopt;
    NetworkWait networkWait = {};
    // --no-history: no history this run, whatever the setting says.
    bool noHistory = false;
};

// How long the window's walk waits for an unreachable trade host: until the
// user stops it.
inline NetworkWait WaitUntilStopped()
{
    NetworkWait wait;
    wait.maxMs = -1;
    return wait;
}

// How long the unattended export waits: its --network-wait.
inline NetworkWait WaitForSeconds(int seconds)
{
    NetworkWait wait;
    wait.maxMs = qint64(seconds) * 1000;
    return wait;
}

// A run and the history it owns, built whole from a plan and the settings.
class OpenedRun {
public:
    OpenedRun(const RunPlan& plan, Settings settings);
    ~OpenedRun();
    OpenedRun(const OpenedRun&) = delete;
    OpenedRun& operator=(const OpenedRun&) = delete;

    RunContext& Run() { return *run_; }

private:
    // Goes after the run that reads it.
    std::unique_ptr<TradeHistory> history_;
    std::unique_ptr<RunContext> run_;
};

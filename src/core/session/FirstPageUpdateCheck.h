#pragma once
// The run's one update check, started once the browser's first page has
// finished: a 500 ms timer ("firstPageTimer") looks for that page, tells
// the owner once (the window scrolls its browser) and then compares the
// versions (UpdateCheck.h). The session owns it, so the window holds no
// timer of its own for it; the unattended export never starts it.

#include "core/update/UpdateCheckState.h"

#include <QObject>
#include <QTimer>
#include <functional>

class RunContext;
class UpdateHost;

inline constexpr int kFirstPageTimerMs = 500;
inline constexpr int kProductNumber = 58;

class FirstPageUpdateCheck : public QObject {
    Q_OBJECT
public:
    explicit FirstPageUpdateCheck(RunContext& run);

    // Starts looking for the first finished page; host hands over to the
    // update program, firstPage is told once before the check runs.
    void Start(UpdateHost& host, std::function<void()> firstPage);
    // The browser has finished a page.
    void PageFinished();

    // Still looking for the first page.
    bool Waiting() const { return timer_.isActive(); }
    // The check runs (it waits for the download page in the event loop).
    bool Running() const { return running_; }
    const UpdateCheckState& State() const { return state_; }

private:
    void OnTick();

    RunContext& run_;
    UpdateHost* host_ = nullptr;
    std::function<void()> firstPage_;
    QTimer timer_;
    UpdateCheckState state_;
    int pagesFinished_ = 0;
    bool running_ = false;
};

#include "CommandGuard.h"

void CommandGuard::SetBusyObserver(std::function<void(bool)> observer)
{
    observer_ = std::move(observer);
}

void CommandGuard::SetBusy(bool busy)
{
    busy_ = busy;
    if (observer_)
        observer_(busy);
}

bool CommandGuard::Run(const Action& action)
{
    if (busy_)
        return false;
    SetBusy(true);
    try {
        action();
        // Kept actions run as part of this command: the controls stay
        // disabled until the last of them has ended, and an action kept
        // while one of them runs is taken in the same pass.
        while (!kept_.empty()) {
            const Action next = std::move(kept_.front().second);
            kept_.erase(kept_.begin());
            next();
        }
    } catch (...) {
        SetBusy(false);
        throw;
    }
    SetBusy(false);
    return true;
}

void CommandGuard::RunWhenFree(const QString& key, Action action)
{
    if (!busy_) {
        // Not busy, so it runs: Run refuses only while another command runs.
        [[maybe_unused]] const bool ran = Run(action);
        return;
    }
    for (auto& [keptKey, keptAction] : kept_) {
        if (keptKey == key) {
            keptAction = std::move(action);
            return;
        }
    }
    kept_.emplace_back(key, std::move(action));
}

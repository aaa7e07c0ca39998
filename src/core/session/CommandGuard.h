#pragma once
// One command at a time. Long commands wait in the event loop (progress
// steps, page loads, downloads), so without a guard a click on another
// command would run it in the middle of the first and change the grid under
// it. The guard runs one command at a time: while one runs, another is
// refused, and an action that must follow a click (a check box's grid
// action) is kept and runs as soon as the running command has ended.

#include <QString>
#include <functional>
#include <utility>
#include <vector>

class CommandGuard {
public:
    using Action = std::function<void()>;

    // Told true when a command starts and false once it and every action
    // kept for after it have ended (the window enables its controls by it).
    void SetBusyObserver(std::function<void(bool)> observer);

    bool Busy() const { return busy_; }
    // Runs action as the one running command, then the actions kept for
    // after it. False, and nothing runs, while another command runs.
    [[nodiscard]] bool Run(const Action& action);
    // Runs action now when no command runs; otherwise keeps it for the end
    // of the running command. A later action under the same key replaces a
    // kept one (the latest click decides), in its place in the order.
    void RunWhenFree(const QString& key, Action action);
    int KeptActions() const { return int(kept_.size()); }
    // Forgets the kept actions (the program is ending).
    void DropKeptActions() { kept_.clear(); }

private:
    void SetBusy(bool busy);

    bool busy_ = false;
    std::vector<std::pair<QString, Action>> kept_;
    std::function<void(bool)> observer_;
};

#pragma once
// Everything a run of the tool works with besides the grid and the browser
// page: what the list reading and the detail downloads work with
// (WalkContext.h: progress, page fetches, addresses, settings, measurer,
// stored details, the trades left without details), who is told things and
// the crash checkpoint. The window's run and the unattended export each
// build one through OpenedRun (RunFactory.h) and hand it down by reference,
// as they hand down the grid; a test builds its own. Nothing here is
// process-wide, and the services are given once, when the run is built:
// nobody puts another in place later. A test that needs another download
// count or wait builds another run.

#include "core/base/UserPrompt.h"
#include "core/downloads/WalkContext.h"

#include <optional>

class GridRecovery;
class ProgressView;
class TextMeasurer;

// What a run is built with. None is owned; each must outlive the run.
struct RunServices {
    // Who is told things and asked questions; none: nobody (messages
    // dropped, questions answered No).
    UserPrompt* prompt = nullptr;
    Endpoints endpoints = DefaultEndpoints();
    // The stored settings; none: read from the store as the run is built.
    std::optional<Settings> settings = std::nullopt;
    // The main window's text width; none in runs without a window font.
    const TextMeasurer* measurer = nullptr;
    // Saves the grid after every page and command; none: not saved.
    GridRecovery* checkpoint = nullptr;
    // Detail columns kept from earlier runs; none: every page is downloaded.
    StoredDetails* history = nullptr;
    // Where the run's progress is shown; none: nowhere.
    ProgressView* progressView = nullptr;
    // How many detail pages download at once; none: the setting.
    std::optional<int> detailDownloads = std::nullopt;
    // How long a page walk waits for an unreachable trade host to answer
    // again: the window waits until the user stops, the unattended export
    // as its --network-wait allows; none by default.
    NetworkWait networkWait = {};
};

class RunContext : public WalkContext {
public:
    // A run nobody is asked anything in, with the built-in addresses.
    RunContext();
    // A run with only a prompt given.
    explicit RunContext(UserPrompt& prompt);
    explicit RunContext(RunServices services);

    // Who is told things and asked questions.
    UserPrompt& Prompt() const { return *prompt_; }
    // From now on nothing is shown or asked (questions are answered No): the
    // program is ending under a running command.
    void Silence() { prompt_ = &silent_; }

    GridRecovery* const checkpoint;

private:
    SilentPrompt silent_;
    UserPrompt* prompt_;
};

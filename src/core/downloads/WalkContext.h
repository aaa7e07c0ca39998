#pragma once
// What reading the list and downloading the details of a run work with: the
// progress display, the page fetches, the marketplace addresses, the
// settings, the text measurer, the stored details and the trades left
// without details. The run (RunContext.h) is one; the list reading and the
// detail pass take this part of it, so they need nothing above them.

#include "core/base/Endpoints.h"
#include "core/downloads/DetailLedger.h"
#include "core/network/PageFetchQueue.h"
#include "core/network/PageFetcher.h"
#include "core/progress/Progress.h"
#include "core/settings/Settings.h"

#include <optional>

class ProgressView;
class StoredDetails;
class TextMeasurer;

// What the walk is given when the run is built. None of the pointers is
// owned; each must outlive the run.
struct WalkServices {
    Endpoints endpoints;
    Settings settings;
    // The main window's text width; none in runs without a window font.
    const TextMeasurer* measurer = nullptr;
    // Detail columns kept from earlier runs; none: every page is downloaded.
    StoredDetails* history = nullptr;
    // Where the run's progress is shown; none: nowhere.
    ProgressView* progressView = nullptr;
    // How many detail pages download at once; none: the setting.
    std::optional<int> detailDownloads;
    // How long a page walk waits for an unreachable trade host.
    NetworkWait networkWait;
};

class WalkContext {
public:
    explicit WalkContext(WalkServices services);
    ~WalkContext();
    WalkContext(const WalkContext&) = delete;
    WalkContext& operator=(const WalkContext&) = delete;

    Progress progress;
    PageFetcher fetcher;
    const Endpoints endpoints;
    // The run's settings, read once; a change the user makes is stored
    // through them, so later reads in the run see it.
    Settings settings;
    const TextMeasurer* const measurer;
    StoredDetails* const history;
    const std::optional<int> detailDownloads;
    const NetworkWait networkWait;

    DetailLedger details;
};

#include "WalkContext.h"

WalkContext::WalkContext(WalkServices services)
    : endpoints(std::move(services.endpoints))
    , settings(std::move(services.settings))
    , measurer(services.measurer)
    , history(services.history)
    , detailDownloads(services.detailDownloads)
    , networkWait(services.networkWait)
{
    progress.SetView(services.progressView);
}

WalkContext::~WalkContext()
{
    // The view may go before the run's progress does.
    progress.SetView(nullptr);
}

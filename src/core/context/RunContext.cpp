#include "RunContext.h"

RunContext::RunContext()
    : RunContext(RunServices {})
{
}

RunContext::RunContext(UserPrompt& prompt)
    : RunContext(RunServices { .prompt = &prompt })
{
}

RunContext::RunContext(RunServices services)
    : endpoints(std::move(services.endpoints))
    , settings(services.settings ? std::move(*services.settings) : Settings::Read())
    , measurer(services.measurer)
    , checkpoint(services.checkpoint)
    , history(services.history)
    , detailDownloads(services.detailDownloads)
    , networkWait(services.networkWait)
    , prompt_(services.prompt ? services.prompt : &silent_)
{
    progress.SetView(services.progressView);
}

RunContext::~RunContext()
{
    // The view may go before the run's progress does.
    progress.SetView(nullptr);
}

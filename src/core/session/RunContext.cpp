#include "RunContext.h"

namespace {

WalkServices WalkPartOf(RunServices& services)
{
    return WalkServices {
        .endpoints = std::move(services.endpoints),
        .settings = services.settings ? std::move(*services.settings) : Settings::Read(),
        .measurer = services.measurer,
        .history = services.history,
        .progressView = services.progressView,
        .detailDownloads = services.detailDownloads,
        .networkWait = services.networkWait,
    };
}

} // namespace

RunContext::RunContext()
    : RunContext(RunServices {})
{
}

RunContext::RunContext(UserPrompt& prompt)
    : RunContext(RunServices { .prompt = &prompt })
{
}

RunContext::RunContext(RunServices services)
    : WalkContext(WalkPartOf(services))
    , checkpoint(services.checkpoint)
    , prompt_(services.prompt ? services.prompt : &silent_)
{
}

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
    , prompt_(services.prompt ? services.prompt : &silent_)
{
}

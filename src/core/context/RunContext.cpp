#include "RunContext.h"

RunContext::RunContext()
    : prompt_(&silent_)
{
}

RunContext::RunContext(UserPrompt& prompt)
    : prompt_(&prompt)
{
}

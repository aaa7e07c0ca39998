#include "RunContext.h"

RunContext::RunContext()
    : prompt_(&silent_)
{
}

RunContext::RunContext(UserPrompt& prompt)
    : prompt_(&prompt)
{
}

QString TradeDetailAddress(const RunContext& run, const QString& orderNumber)
{
    return TradeDetailAddress(run.endpoints, orderNumber);
}

#include "TradeStatus.h"

const TradeStatusFacts* FactsOfStatus(QStringView status)
{
    for (const TradeStatusFacts& facts : kTradeStatuses)
        if (facts.text == status)
            return &facts;
    return nullptr;
}

#include "StoredDetailsPolicy.h"

bool UseStoredDetails(const QString& storedStatus, const QString& currentStatus)
{
    return IsFinalTradeStatus(storedStatus) && IsFinalTradeStatus(currentStatus);
}

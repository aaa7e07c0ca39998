#include "StoredDetailsPolicy.h"

bool IsFinalTradeStatus(const QString& status)
{
    for (const char* finalStatus : kFinalTradeStatuses) {
        if (status == QString::fromUtf8(finalStatus))
            return true;
    }
    return false;
}

bool UseStoredDetails(const QString& storedStatus, const QString& currentStatus)
{
    return IsFinalTradeStatus(storedStatus) && IsFinalTradeStatus(currentStatus);
}

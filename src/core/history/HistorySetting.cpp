#include "HistorySetting.h"

#include "TradeHistory.h"
#include "core/base/Logging.h"
#include "core/settings/Settings.h"

std::unique_ptr<TradeHistory> OpenRunHistory(bool noHistoryOption, const Settings& settings)
{
    if (noHistoryOption || !settings.DetailHistory()) {
        qCInfo(lcHistory) << "trade history off for this run";
        return nullptr;
    }
    return std::make_unique<TradeHistory>(DefaultTradeHistoryPath());
}

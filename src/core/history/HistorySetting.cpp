#include "HistorySetting.h"

#include "TradeHistory.h"
#include "core/base/Logging.h"
#include "core/settings/SettingsStore.h"

bool DetailHistorySetting()
{
    const QString stored = GetRegSetting(QString::fromLatin1(kSettingsApp), QString::fromLatin1(kSettingsSection),
        QString::fromLatin1(kDetailHistoryKey), QStringLiteral("1"));
    return stored.trimmed() != QStringLiteral("0");
}

std::unique_ptr<TradeHistory> OpenRunHistory(bool noHistoryOption)
{
    if (noHistoryOption || !DetailHistorySetting()) {
        qCInfo(lcHistory) << "trade history off for this run";
        return nullptr;
    }
    return std::make_unique<TradeHistory>(DefaultTradeHistoryPath());
}

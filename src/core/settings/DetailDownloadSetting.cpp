#include "DetailDownloadSetting.h"

#include "SettingsStore.h"
#include "core/base/Logging.h"

std::optional<int> DetailDownloadsFromText(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 1 || value > kMaxDetailDownloads)
        return std::nullopt;
    return value;
}

int DetailDownloadLimit(std::optional<int> runOverride)
{
    if (runOverride)
        return *runOverride;
    const QString stored = GetRegSetting(QString::fromLatin1(kSettingsApp),
        QString::fromLatin1(kSettingsSection), QString::fromLatin1(kDetailDownloadsKey), QString());
    if (stored.isEmpty())
        return kDefaultDetailDownloads;
    if (const auto value = DetailDownloadsFromText(stored))
        return *value;
    qCWarning(lcSettings) << kDetailDownloadsKey << "holds" << stored << "- not a number from 1 to"
                          << kMaxDetailDownloads << "; using" << kDefaultDetailDownloads;
    return kDefaultDetailDownloads;
}

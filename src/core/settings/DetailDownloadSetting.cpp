#include "DetailDownloadSetting.h"

#include "Settings.h"
#include "core/base/Logging.h"

std::optional<int> DetailDownloadsFromText(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 1 || value > kMaxDetailDownloads)
        return std::nullopt;
    return value;
}

int DetailDownloadLimit(std::optional<int> runOverride, const Settings& settings)
{
    if (runOverride)
        return *runOverride;
    const QString stored = settings.DetailDownloadsText();
    if (stored.isEmpty())
        return kDefaultDetailDownloads;
    if (const auto value = DetailDownloadsFromText(stored))
        return *value;
    qCWarning(lcSettings) << Settings::kDetailDownloads << "holds" << stored << "- not a number from 1 to"
                          << kMaxDetailDownloads << "; using" << kDefaultDetailDownloads;
    return kDefaultDetailDownloads;
}

#include "Settings.h"

#include "CheckBoxSettings.h"
#include "SettingsStore.h"
#include "core/base/Logging.h"

namespace {

QString ReadStored(const QString& key)
{
    return GetRegSetting(
        QString::fromLatin1(kSettingsApp), QString::fromLatin1(kSettingsSection), key, QString());
}

} // namespace

Settings Settings::Read()
{
    Settings settings;
    QStringList keys { QString::fromLatin1(kDetailDownloads), QString::fromLatin1(kDetailHistory),
        QString::fromLatin1(kWindowPlacement), QString::fromLatin1(kExportFolder) };
    for (int i = 0; i < 2; ++i)
        keys << CheckBoxKey(i) << QStringLiteral("Split_Top_%1").arg(i);
    for (const QString& key : keys)
        settings.texts_.insert(key, ReadStored(key));
    return settings;
}

bool Settings::DetailHistory() const
{
    return Text(kDetailHistory).trimmed() != QStringLiteral("0");
}

std::optional<int> Settings::CheckBox(int index) const
{
    const QString stored = texts_.value(CheckBoxKey(index));
    if (stored.isEmpty())
        return std::nullopt;
    return CheckBoxValueFromText(stored);
}

QString Settings::LayoutText(const QString& key, const QString& defaultText) const
{
    const QString stored = texts_.value(key);
    return stored.isEmpty() ? defaultText : stored;
}

bool Settings::StoreCheckBox(int index, bool checked)
{
    return Store(CheckBoxKey(index), QString::number(checked ? 1 : 0));
}

bool Settings::StoreLayoutText(const QString& key, const QString& text)
{
    return Store(key, text);
}

bool Settings::Store(const QString& key, const QString& text)
{
    texts_.insert(key, text);
    const bool stored = SaveRegSetting(QString::fromLatin1(kSettingsApp), QString::fromLatin1(kSettingsSection), key, text);
    if (!stored)
        qCWarning(lcSettings) << "could not store" << key;
    return stored;
}

#include "SettingsStore.h"

#include <QSettings>

namespace {

#ifdef Q_OS_WIN
QString RegistryPath(const QString& app, const QString& section, const QString& key)
{
    return QStringLiteral("HKEY_CURRENT_USER\\") + app + QLatin1Char('\\') + section + QLatin1Char('\\') + key;
}
#endif

} // namespace

bool SaveRegSetting(const QString& app, const QString& section, const QString& key, const QString& value)
{
#ifdef Q_OS_WIN
    QSettings settings(RegistryPath(app, section, key), QSettings::NativeFormat);
    settings.setValue(QStringLiteral("Default"), value);
#else
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, app, section);
    if (settings.status() != QSettings::NoError)
        return false; // never rewrite a file we could not read
    settings.setValue(key, value);
#endif
    settings.sync();
    return settings.status() == QSettings::NoError && settings.isWritable();
}

QString GetRegSetting(const QString& app, const QString& section, const QString& key, const QString& defaultValue)
{
#ifdef Q_OS_WIN
    QSettings settings(RegistryPath(app, section, key), QSettings::NativeFormat);
    const QVariant stored = settings.value(QStringLiteral("Default"));
#else
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, app, section);
    if (settings.status() != QSettings::NoError)
        return defaultValue;
    const QVariant stored = settings.value(key);
#endif
    const QString text = stored.toString();
    return text.isEmpty() ? defaultValue : text;
}

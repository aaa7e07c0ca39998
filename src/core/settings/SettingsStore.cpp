#include "SettingsStore.h"

#include "core/base/WholeFileWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryFile>

namespace {

#ifdef Q_OS_WIN

QString RegistryPath(const QString& app, const QString& section, const QString& key)
{
    return QStringLiteral("HKEY_CURRENT_USER\\") + app + QLatin1Char('\\') + section + QLatin1Char('\\')
        + key;
}

#else

enum class FileHealth { Missing, Sound, Unreadable, Corrupt };

// A section header without its closing bracket.
bool HasUnclosedSection(const QString& text)
{
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('[')) && !line.contains(QLatin1Char(']')))
            return true;
    }
    return false;
}

// Qt's INI reader skips lines it cannot make sense of and would write the
// file back without them, so a damaged file is recognised here, from its
// bytes, before QSettings touches it (whose own status may come from a
// parse it cached earlier): text that is not UTF-8, control characters other
// than line breaks and tabs, or a section header left open.
FileHealth CheckSettingsFile(const QString& path)
{
    if (!QFileInfo::exists(path))
        return FileHealth::Missing;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileHealth::Unreadable;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return FileHealth::Unreadable;
    for (const char c : bytes) {
        const uchar b = uchar(c);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r')
            return FileHealth::Corrupt;
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError() || HasUnclosedSection(text))
        return FileHealth::Corrupt;
    return FileHealth::Sound;
}

// Where QSettings keeps the user's INI file for app and section.
QString IniPath(const QString& app, const QString& section)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + app
        + QLatin1Char('/') + section + QStringLiteral(".ini");
}

// Moves a damaged file aside so the new one starts empty and the old bytes
// stay on disk for whoever wants them.
Done SetCorruptFileAside(const QString& path)
{
    const QString aside = path + QStringLiteral(".corrupt");
    if (QFileInfo::exists(aside) && !QFile::remove(aside))
        return Done::Failed(QStringLiteral("cannot remove the older %1").arg(aside));
    if (!QFile::rename(path, aside))
        return Done::Failed(QStringLiteral("cannot set the damaged %1 aside").arg(path));
    return Done::Ok();
}

// The file's bytes with key set to value, made by QSettings in a scratch
// copy beside it; empty when they could not be made. A scratch file cut off
// by a full disk is refused: QSettings ends every line of its files, and the
// key's line is there.
QByteArray IniBytesWithValue(const QString& path, const QString& key, const QString& value)
{
    QByteArray current;
    if (QFile in(path); in.exists()) {
        if (!in.open(QIODevice::ReadOnly))
            return {};
        current = in.readAll();
    }
    // A new name each time: QSettings keeps what it parsed by file name.
    QTemporaryFile scratch(path + QStringLiteral(".XXXXXX"));
    if (!scratch.open())
        return {};
    scratch.close();
    if (!WriteFileWhole(scratch.fileName(), current))
        return {};
    {
        QSettings settings(scratch.fileName(), QSettings::IniFormat);
        if (settings.status() != QSettings::NoError || !settings.isWritable())
            return {};
        settings.setValue(key, value);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return {};
    }
    QFile written(scratch.fileName());
    const QByteArray bytes = written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    const QByteArray keyLine = key.toUtf8() + '=';
    if (!bytes.endsWith('\n') || !(bytes.startsWith(keyLine) || bytes.contains('\n' + keyLine)))
        return {};
    return bytes;
}

// QSettings writes its file buffered and, on a full disk, puts a cut-off
// file in place and reports success; so it writes a scratch copy, and the
// file is replaced by a checked write of the scratch copy's bytes.
Done WriteIniValue(const QString& path, const QString& key, const QString& value)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return Done::Failed(QStringLiteral("cannot create the folder of %1").arg(path));
    const QByteArray bytes = IniBytesWithValue(path, key, value);
    if (bytes.isEmpty())
        return Done::Failed(QStringLiteral("cannot make the new contents of %1").arg(path));
    if (Done written = WriteFileWhole(path, bytes); !written)
        return written;
    // QSettings keeps what it parsed by file name and parses again only when
    // the size or the time (to the millisecond) differ; a file of the same
    // size written within the same millisecond would be read as the one
    // before. Setting a path, the one it has, makes it forget its parses.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    return Done::Ok();
}

#endif

} // namespace

Done SaveRegSetting(const QString& app, const QString& section, const QString& key, const QString& value)
{
#ifdef Q_OS_WIN
    QSettings settings(RegistryPath(app, section, key), QSettings::NativeFormat);
    settings.setValue(QStringLiteral("Default"), value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return Done::Failed(QStringLiteral("the registry refused %1").arg(key));
    return Done::Ok();
#else
    const QString path = IniPath(app, section);
    switch (CheckSettingsFile(path)) {
    case FileHealth::Unreadable: // we could not keep what it holds
        return Done::Failed(QStringLiteral("cannot read %1").arg(path));
    case FileHealth::Corrupt:
        if (Done aside = SetCorruptFileAside(path); !aside)
            return aside;
        break;
    case FileHealth::Missing:
    case FileHealth::Sound:
        break;
    }
    return WriteIniValue(path, key, value);
#endif
}

QString GetRegSetting(
    const QString& app, const QString& section, const QString& key, const QString& defaultValue)
{
#ifdef Q_OS_WIN
    QSettings settings(RegistryPath(app, section, key), QSettings::NativeFormat);
    const QVariant stored = settings.value(QStringLiteral("Default"));
#else
    const QString path = IniPath(app, section);
    if (CheckSettingsFile(path) != FileHealth::Sound)
        return defaultValue;
    const QSettings settings(path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return defaultValue;
    const QVariant stored = settings.value(key);
#endif
    // Only a stored text counts; a list or other value written by hand is
    // not a setting this program wrote.
    if (stored.typeId() != QMetaType::QString)
        return defaultValue;
    const QString text = stored.toString();
    return text.isEmpty() ? defaultValue : text;
}

QString SettingsLocation(const QString& app, const QString& section)
{
#ifdef Q_OS_WIN
    return QStringLiteral("HKEY_CURRENT_USER\\") + app + QLatin1Char('\\') + section;
#else
    return IniPath(app, section);
#endif
}

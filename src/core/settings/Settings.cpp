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
    QStringList keys;
    for (const char* key : { kDetailDownloads, kDetailHistory, kWindowPlacement, kExportFolder, kSlipPaper,
             kPrinterOffsets, kSplitHorizontal, kSplitVertical, kExportNotes, kSlipMemo, kSenderName,
             kSenderPhone, kSenderAddress, kCourierTemplate })
        keys << QString::fromLatin1(key);
    for (int i = 0; i < 2; ++i)
        keys << CheckBoxKey(i);
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

namespace {

QString PrinterKey(const QString& printerName)
{
    return QString::fromLatin1(printerName.toUtf8().toHex());
}

// The stored offsets, printer key to "<right>,<down>".
QHash<QString, QString> PrinterOffsets(const QString& stored)
{
    QHash<QString, QString> offsets;
    for (const QString& entry : stored.split(u';', Qt::SkipEmptyParts))
        offsets.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    return offsets;
}

} // namespace

QPointF Settings::PrinterOffset(const QString& printerName) const
{
    const QStringList parts = PrinterOffsets(Text(kPrinterOffsets)).value(PrinterKey(printerName)).split(u',');
    bool rightOk = false;
    bool downOk = false;
    const double right = parts.value(0).toDouble(&rightOk);
    const double down = parts.value(1).toDouble(&downOk);
    return parts.size() == 2 && rightOk && downOk ? QPointF(right, down) : QPointF();
}

Done Settings::StorePrinterOffset(const QString& printerName, QPointF millimetres)
{
    QHash<QString, QString> offsets = PrinterOffsets(Text(kPrinterOffsets));
    offsets.insert(PrinterKey(printerName),
        QString::number(millimetres.x(), 'f', 1) + u',' + QString::number(millimetres.y(), 'f', 1));
    QStringList entries;
    for (auto it = offsets.cbegin(); it != offsets.cend(); ++it)
        entries.append(it.key() + u'=' + it.value());
    entries.sort(); // the same offsets, the same text
    return Store(kPrinterOffsets, entries.join(u';'));
}

Done Settings::StoreCheckBox(int index, bool checked)
{
    return Store(CheckBoxKey(index), QString::number(checked ? 1 : 0));
}

Done Settings::StoreLayoutText(const QString& key, const QString& text)
{
    return Store(key, text);
}

Done Settings::Store(const QString& key, const QString& text)
{
    texts_.insert(key, text);
    Done stored = SaveRegSetting(QString::fromLatin1(kSettingsApp), QString::fromLatin1(kSettingsSection), key, text);
    if (!stored)
        qCWarning(lcSettings) << "could not store" << key << ":" << stored.reason;
    return stored;
}

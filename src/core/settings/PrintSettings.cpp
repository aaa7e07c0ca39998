#include "PrintSettings.h"

#include "SettingsStore.h"

#include <QByteArray>
#include <QStringList>

namespace {

constexpr const char* kSlipPaperKey = "Slip_Paper";
const QString kLabelText = QStringLiteral("100x150");
const QString kA5Text = QStringLiteral("a5");

QString Load(const QString& key)
{
    return GetRegSetting(QString::fromLatin1(kSettingsApp), QString::fromLatin1(kSettingsSection), key, {});
}

bool Store(const QString& key, const QString& value)
{
    return SaveRegSetting(QString::fromLatin1(kSettingsApp), QString::fromLatin1(kSettingsSection), key, value);
}

// Printer names hold blanks, slashes and any other character; the key
// holds their UTF-8 bytes in hex.
QString OffsetKey(const QString& printerName)
{
    return QStringLiteral("Printer_Offset_") + QString::fromLatin1(printerName.toUtf8().toHex());
}

} // namespace

std::optional<SlipPaper> SlipPaperFromText(const QString& text)
{
    const QString t = text.trimmed().toLower();
    if (t == kA5Text)
        return SlipPaper::A5;
    if (t == kLabelText)
        return SlipPaper::Label100x150;
    return std::nullopt;
}

SlipPaper StoredSlipPaper()
{
    return SlipPaperFromText(Load(QString::fromLatin1(kSlipPaperKey))).value_or(SlipPaper::A5);
}

bool StoreSlipPaper(SlipPaper paper)
{
    return Store(QString::fromLatin1(kSlipPaperKey), paper == SlipPaper::A5 ? kA5Text : kLabelText);
}

QPointF StoredPrinterOffset(const QString& printerName)
{
    const QStringList parts = Load(OffsetKey(printerName)).split(u',');
    bool xOk = false;
    bool yOk = false;
    const double x = parts.value(0).toDouble(&xOk);
    const double y = parts.value(1).toDouble(&yOk);
    return parts.size() == 2 && xOk && yOk ? QPointF(x, y) : QPointF();
}

bool StorePrinterOffset(const QString& printerName, QPointF millimetres)
{
    return Store(OffsetKey(printerName),
        QString::number(millimetres.x(), 'f', 1) + u',' + QString::number(millimetres.y(), 'f', 1));
}

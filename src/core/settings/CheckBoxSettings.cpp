#include "CheckBoxSettings.h"

#include "core/text/TextHelpers.h"

#include <cmath>

QString CheckBoxKey(int index)
{
    return QStringLiteral("CHK_") + QString::number(index);
}

std::optional<int> CheckBoxValueFromText(const QString& text)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    const double value = RoundHalfToEven(number);
    if (value != 0 && value != 1)
        return std::nullopt;
    return int(value);
}

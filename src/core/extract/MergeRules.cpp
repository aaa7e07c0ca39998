#include "MergeRules.h"

#include "core/text/TextHelpers.h"

#include <climits>

MergeMode MergeModeOf(int col)
{
    switch (col) {
    case ColRecipient:
    case ColProvince:
    case ColCity:
    case ColDistrict:
    case ColAddress:
    case ColPostcode:
    case ColCompany:
    case ColWaybill:
        return MergeMode::Key;
    case ColQuantity:
    case ColAmount:
        return MergeMode::Sum;
    case ColOrderNumber:
    case ColTime:
    case ColItem:
    case ColUnitPrice:
    case ColAfterSales:
    case ColBuyer:
    case ColName:
    case ColStatus:
    case ColRating:
    case ColMobile:
    case ColTelephone:
        return MergeMode::Join;
    default:
        return MergeMode::Untouched;
    }
}

QString WithoutFirstItemSuffix(const QString& orderNumber)
{
    if (orderNumber.endsWith(QLatin1String("_1")))
        return orderNumber.chopped(2);
    return orderNumber;
}

QString SumText(const QString& a, const QString& b)
{
    return NumberText(LeadingNumber(a) + LeadingNumber(b));
}

int ScaledRowHeight(int height, qsizetype factor)
{
    const qint64 scaled = qint64(height) * qint64(factor);
    return scaled > INT_MAX ? INT_MAX : int(scaled);
}

namespace {
const QString kLineBreak = QStringLiteral("\r\n");
}

bool CanMergeRow(const QString& recipient, const QString& status)
{
    return !recipient.isEmpty() && status != QString::fromUtf8(kClosedTradeStatus);
}

JoinedText::JoinedText(const QString& first)
    : text_(first)
{
    for (const QString& line : first.split(kLineBreak))
        lines_.insert(line);
}

void JoinedText::Add(const QString& value)
{
    if (value.isEmpty() || lines_.contains(value))
        return;
    text_ += kLineBreak + value;
    for (const QString& line : value.split(kLineBreak))
        lines_.insert(line);
}

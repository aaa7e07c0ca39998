#include "MergeRules.h"

#include "SubstringIndex.h"
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

// Short texts are searched directly; a text that has grown long (many rows
// of one shipment) gets an index so the merge stays linear.
class JoinedText::Index : public SubstringIndex { };

namespace {
constexpr qsizetype kIndexFromLength = 4096;
}

JoinedText::JoinedText(const QString& first)
    : text_(first)
{
}

JoinedText::~JoinedText()
{
    delete index_;
}

void JoinedText::Add(const QString& value)
{
    if (value.isEmpty())
        return;
    if (!index_ && text_.size() >= kIndexFromLength) {
        index_ = new Index;
        index_->Append(text_);
    }
    const bool present = index_ ? index_->Contains(value) : text_.contains(value);
    if (present)
        return;
    const QString added = QStringLiteral("\r\n") + value;
    text_ += added;
    if (index_)
        index_->Append(added);
}

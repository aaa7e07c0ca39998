#include "MergeRules.h"

#include "core/text/TextHelpers.h"
#include "core/trade/TradeStatus.h"

#include <climits>

MergeMode MergeModeOf(int col)
{
    const ColumnFacts* facts = FactsOfColumn(col);
    return facts ? facts->merge : MergeMode::Untouched;
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
const QString kLineBreak = kJoinedLineBreak.toString();
}

bool CanMergeRow(const QString& recipient, const QString& status)
{
    return !recipient.isEmpty() && IsShipTogetherStatus(status);
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
    // A value of several lines (a buyer's two-line message, repeated on each
    // item row of its trade) is there already when its lines stand together
    // in the text: joined again, it would be read twice.
    if (value.contains(kLineBreak)
        && (kLineBreak + text_ + kLineBreak).contains(kLineBreak + value + kLineBreak))
        return;
    text_ += kLineBreak + value;
    for (const QString& line : value.split(kLineBreak))
        lines_.insert(line);
}

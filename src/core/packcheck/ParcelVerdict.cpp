#include "ParcelVerdict.h"

#include "core/trade/TradeStatus.h"

#include <algorithm>

ParcelVerdict VerdictOfStatus(const std::optional<QString>& fetchedStatus)
{
    if (!fetchedStatus)
        return ParcelVerdict::Unchecked;
    const TradeStatusFacts* facts = FactsOfStatus(*fetchedStatus);
    if (!facts)
        return ParcelVerdict::Unchecked;
    if (facts->toShip)
        return ParcelVerdict::CanShip;
    if (facts->closed)
        return ParcelVerdict::Closed;
    if (facts->shipped)
        return ParcelVerdict::Shipped;
    // Paid, neither to ship nor gone: the refund states.
    if (facts->paid)
        return ParcelVerdict::Refund;
    // Unpaid again: no known answer fits; never green.
    return ParcelVerdict::Unchecked;
}

ParcelVerdict WorstVerdict(const QList<ParcelVerdict>& verdicts)
{
    if (verdicts.isEmpty())
        return ParcelVerdict::Unchecked;
    // The enum runs from the mildest to the gravest.
    return *std::max_element(verdicts.cbegin(), verdicts.cend());
}

QString VerdictText(ParcelVerdict verdict)
{
    switch (verdict) {
    case ParcelVerdict::CanShip:
        return QStringLiteral("可以发货");
    case ParcelVerdict::Unchecked:
        return QStringLiteral("无法核对状态");
    case ParcelVerdict::Shipped:
        return QStringLiteral("已经发货");
    case ParcelVerdict::Closed:
        return QStringLiteral("交易已关闭，不要发货");
    case ParcelVerdict::Refund:
        return QStringLiteral("已申请退款，不要发货");
    }
    return QStringLiteral("无法核对状态");
}

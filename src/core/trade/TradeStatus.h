#pragma once
// Every trade status the list shows and what it means for the seller's
// work, in one table: whether the buyer has paid, whether the goods still
// wait to leave, whether they have left (a waybill is due), whether the
// trade can no longer change (the history may keep its details), and
// whether it is closed. The merge, the closed-trade filter, the shipping
// documents and the history all ask here. A status outside the table is
// written as the page shows it, but nothing is decided on it: such a row is
// never merged and never on the picking list or a slip.

#include <QString>
#include <QStringView>

struct TradeStatusFacts {
    QStringView text;
    bool paid = false;
    bool toShip = false;
    bool shipped = false;
    bool final = false;
    bool closed = false;
};

// clang-format off
inline constexpr TradeStatusFacts kTradeStatuses[] = {
    //  text               paid   toShip shipped final  closed
    { u"等待买家付款",     false, false, false,  false, false },
    { u"买家已付款",       true,  true,  false,  false, false },
    { u"等待卖家发货",     true,  true,  false,  false, false },
    { u"卖家已发货",       true,  false, true,   false, false },
    { u"交易成功",         true,  false, true,   true,  false },
    { u"交易关闭",         false, false, false,  true,  true  },
    // Refunds: paid, and the seller waits for the refund's end before
    // shipping anything.
    { u"买家已申请退款",   true,  false, false,  false, false },
    { u"退款中",           true,  false, false,  false, false },
    { u"卖家已同意退款",   true,  false, false,  false, false },
    { u"卖家拒绝退款",     true,  false, false,  false, false },
    { u"退款成功",         true,  false, false,  false, false },
    { u"退款关闭",         true,  false, false,  false, false },
};
// clang-format on

// The facts of status, or null for a status outside the table.
const TradeStatusFacts* FactsOfStatus(QStringView status);

inline bool IsKnownStatus(QStringView status)
{
    return FactsOfStatus(status) != nullptr;
}
// One fact of a status; false for a status outside the table.
inline bool StatusHas(QStringView status, bool TradeStatusFacts::*fact)
{
    const TradeStatusFacts* facts = FactsOfStatus(status);
    return facts && facts->*fact;
}
// Whether the goods have left the seller: a waybill is due.
inline bool IsShippedStatus(QStringView status)
{
    return StatusHas(status, &TradeStatusFacts::shipped);
}
// Paid for and still waiting to leave.
inline bool IsWaitingToShipStatus(QStringView status)
{
    return StatusHas(status, &TradeStatusFacts::toShip);
}
// Ended: the trade's recipient and waybill no longer change.
inline bool IsFinalTradeStatus(QStringView status)
{
    return StatusHas(status, &TradeStatusFacts::final);
}
inline bool IsClosedStatus(QStringView status)
{
    return StatusHas(status, &TradeStatusFacts::closed);
}
// Goods that may go into one parcel with others: known, paid, not closed.
inline bool IsShipTogetherStatus(QStringView status)
{
    return StatusHas(status, &TradeStatusFacts::paid) && !IsClosedStatus(status);
}

#pragma once
// What an order number in the grid's 单号 column says about its row.

#include <QString>

// A trade's further items carry its order number, "_" and a count; the
// trade's own row holds the number alone.
inline bool IsFurtherItemOrder(const QString& orderNumber)
{
    return orderNumber.contains(QLatin1Char('_'));
}

// The trade an order row belongs to: 123_2 → 123.
inline QString TradeOfOrder(const QString& orderNumber)
{
    const qsizetype mark = orderNumber.indexOf(QLatin1Char('_'));
    return mark < 0 ? orderNumber : orderNumber.left(mark);
}

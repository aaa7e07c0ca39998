#include "DetailLedger.h"

#include "core/text/TextHelpers.h"

#include <utility>

namespace {

// text with %1 the number of trades and %2 the first few order numbers;
// empty for none.
QString TradesMessage(const QString& text, const QStringList& orderNumbers)
{
    if (orderNumbers.isEmpty())
        return QString();
    QString named = orderNumbers.mid(0, kOrdersNamedInMessage).join(QStringLiteral("、"));
    if (orderNumbers.size() > kOrdersNamedInMessage)
        named += QStringLiteral(" 等");
    return text.arg(orderNumbers.size()).arg(named);
}

bool IsNumberChar(QChar c)
{
    return c.isLetterOrNumber();
}

bool StandsAlone(const QString& text, const QString& number)
{
    for (qsizetype at = text.indexOf(number); at >= 0; at = text.indexOf(number, at + 1)) {
        const qsizetype end = at + number.size();
        const bool before = at > 0 && IsNumberChar(text.at(at - 1));
        const bool after = end < text.size() && IsNumberChar(text.at(end));
        if (!before && !after)
            return true;
    }
    return false;
}

} // namespace

void DetailLedger::RememberFailed(const QString& orderNumber)
{
    if (!failed_.contains(orderNumber))
        failed_.append(orderNumber);
}

void DetailLedger::ForgetFailed(const QString& orderNumber)
{
    failed_.removeAll(orderNumber);
}

void DetailLedger::RememberWithoutShippingData(const QString& orderNumber)
{
    if (!withoutShippingData_.contains(orderNumber))
        withoutShippingData_.append(orderNumber);
}

QStringList DetailLedger::TakeWithoutShippingData()
{
    return std::exchange(withoutShippingData_, {});
}

QStringList DetailLedger::FailedListedIn(const QString& text) const
{
    QStringList listed;
    for (const QString& order : failed_)
        if (!order.isEmpty() && StandsAlone(text, order))
            listed.append(order);
    return listed;
}

QString FailedDetailsMessage(const QStringList& orderNumbers)
{
    return TradesMessage(QStringLiteral("有 %1 笔交易的收货和物流信息未能下载（订单编号 %2），"
                                        "表中它们的收件人和单号可能是空的。请检查网络后重新提取这些交易所在的页面。"),
        orderNumbers);
}

QString WithoutShippingDataMessage(const QStringList& orderNumbers)
{
    return TradesMessage(QStringLiteral("有 %1 笔交易的详情页里没有收货地址（订单编号 %2），"
                                        "表中它们的收件人、地址和单号是空的。它们可能是虚拟商品，或者详情页已改版，"
                                        "请在淘宝上核对。"),
        orderNumbers);
}

QString DetailShortfallMessage(const DetailShortfall& shortfall)
{
    return JoinParagraphs(
        { FailedDetailsMessage(shortfall.failed), WithoutShippingDataMessage(shortfall.withoutShippingData) });
}

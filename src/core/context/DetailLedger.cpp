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

void DetailLedger::RememberFailed(const QString& orderNumber, bool timedOut)
{
    if (!failed_.contains(orderNumber))
        failed_.append(orderNumber);
    timedOut_.removeAll(orderNumber);
    if (timedOut)
        timedOut_.append(orderNumber);
}

void DetailLedger::ForgetFailed(const QString& orderNumber)
{
    failed_.removeAll(orderNumber);
    timedOut_.removeAll(orderNumber);
}

QStringList DetailLedger::TimedOutAmong(const QStringList& orderNumbers) const
{
    QStringList among;
    for (const QString& order : orderNumbers)
        if (timedOut_.contains(order))
            among.append(order);
    return among;
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

QString TimedOutDetailsMessage(const QStringList& orderNumbers)
{
    return TradesMessage(QStringLiteral("有 %1 笔交易的详情页下载超时（订单编号 %2），淘宝的网页一直没有传完，"
                                        "表中它们的收件人和单号可能是空的。请稍后重新提取这些交易所在的页面。"),
        orderNumbers);
}

QString DetailShortfallMessage(const DetailShortfall& shortfall)
{
    QStringList networkFailed = shortfall.failed;
    for (const QString& order : shortfall.timedOut)
        networkFailed.removeAll(order);
    return JoinParagraphs({ FailedDetailsMessage(networkFailed), TimedOutDetailsMessage(shortfall.timedOut),
        WithoutShippingDataMessage(shortfall.withoutShippingData) });
}

#include "DetailLedger.h"

#include "core/grid/GridSetup.h"
#include "core/grid/GridSteps.h"
#include "core/grid/TradeGrid.h"
#include "core/text/TextHelpers.h"

#include <QSet>

#include <utility>

namespace {

// text with %1 the number of trades and %2 the first few order numbers;
// empty for none.
QString TradesMessage(const QString& text, const QStringList& orderNumbers, int namedAtMost)
{
    if (orderNumbers.isEmpty())
        return QString();
    QString named = orderNumbers.mid(0, namedAtMost).join(QStringLiteral("、"));
    if (orderNumbers.size() > namedAtMost)
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

namespace {
void AppendOnce(QStringList& list, const QString& orderNumber)
{
    if (!list.contains(orderNumber))
        list.append(orderNumber);
}
} // namespace

void DetailLedger::RememberWithoutShippingData(const QString& orderNumber)
{
    AppendOnce(named_.withoutShippingData, orderNumber);
}

void DetailLedger::NameTrade(const QString& orderNumber, TradeFinding finding)
{
    switch (finding) {
    case TradeFinding::Unreadable:
        AppendOnce(named_.unreadable, orderNumber);
        break;
    case TradeFinding::AddressToCheck:
        AppendOnce(named_.addressToCheck, orderNumber);
        break;
    case TradeFinding::ShippedWithoutWaybill:
        AppendOnce(named_.shippedWithoutWaybill, orderNumber);
        break;
    }
}

void DetailLedger::NamePage(const QString& note)
{
    named_.pages.append(note);
}

DetailLedger::Named DetailLedger::TakeNamed()
{
    Named named = std::exchange(named_, {});
    named.sawShippingSection = std::exchange(sawShippingSection_, false);
    return named;
}

QStringList DetailLedger::FailedListedIn(const QString& text) const
{
    QStringList listed;
    for (const QString& order : failed_)
        if (!order.isEmpty() && StandsAlone(text, order))
            listed.append(order);
    return listed;
}

QString FailedDetailsMessage(const QStringList& orderNumbers, int namedAtMost)
{
    return TradesMessage(QStringLiteral("有 %1 笔交易的收货和物流信息未能下载（订单编号 %2），"
                                        "表中它们的收件人和单号可能是空的。请检查网络后重新提取这些交易所在的页面。"),
        orderNumbers, namedAtMost);
}

QString WithoutShippingDataMessage(const QStringList& orderNumbers, int namedAtMost)
{
    return TradesMessage(QStringLiteral("有 %1 笔交易的详情页里没有收货地址（订单编号 %2），"
                                        "表中它们的收件人、地址和单号是空的。它们可能是虚拟商品，或者详情页已改版，"
                                        "请在淘宝上核对。"),
        orderNumbers, namedAtMost);
}

QString TimedOutDetailsMessage(const QStringList& orderNumbers, int namedAtMost)
{
    return TradesMessage(QStringLiteral("有 %1 笔交易的详情页下载超时（订单编号 %2），淘宝的网页一直没有传完，"
                                        "表中它们的收件人和单号可能是空的。请稍后重新提取这些交易所在的页面。"),
        orderNumbers, namedAtMost);
}

void DetailShortfall::KeepOrdersIn(const TradeGrid& grid)
{
    for (QStringList* list :
        { &failed, &timedOut, &withoutShippingData, &unreadable, &addressToCheck, &shippedWithoutWaybill })
        *list = OrdersStillInGrid(grid, *list);
}

QString DetailShortfallMessage(const DetailShortfall& shortfall, int namedAtMost)
{
    // A time-out is told as one, not as a network failure.
    QStringList networkFailed = shortfall.failed;
    for (const QString& order : shortfall.timedOut)
        networkFailed.removeAll(order);
    return JoinParagraphs({ shortfall.pages.join(QLatin1Char('\n')),
        TradesMessage(QStringLiteral("有 %1 笔交易的页面与本软件读取的格式不同（订单编号 %2），读不准的字段已留空，"
                                     "请在淘宝上核对后补全。"),
            shortfall.unreadable, namedAtMost),
        TradesMessage(QStringLiteral("有 %1 笔交易的市或区与全国行政区划不符（订单编号 %2），已照原样写入，请核对地址。"),
            shortfall.addressToCheck, namedAtMost),
        TradesMessage(QStringLiteral("有 %1 笔已发货的交易在详情页里没有运单号（订单编号 %2），请在淘宝上核对。"),
            shortfall.shippedWithoutWaybill, namedAtMost),
        FailedDetailsMessage(networkFailed, namedAtMost), TimedOutDetailsMessage(shortfall.timedOut, namedAtMost),
        WithoutShippingDataMessage(shortfall.withoutShippingData, namedAtMost) });
}

bool ShippingSectionMissing(const DetailShortfall& shortfall, const TradeGrid& grid)
{
    if (shortfall.sawShippingSection)
        return false;
    for (const QString& order : shortfall.withoutShippingData) {
        const int row = grid.FindOrderRow(order);
        if (row >= 0 && IsShippedStatus(CellOrEmpty(grid, row, ColStatus)))
            return true;
    }
    return false;
}

int DetailShortfall::NamedTrades() const
{
    QSet<QString> named;
    for (const QStringList* list : { &failed, &withoutShippingData, &unreadable, &addressToCheck, &shippedWithoutWaybill })
        for (const QString& order : *list)
            named.insert(order);
    return int(named.size());
}

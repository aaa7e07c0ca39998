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

DetailLedger::Named DetailLedger::TakeNamed()
{
    Named named;
    named.findings = std::exchange(findings_, {});
    named.sawShippingSection = std::exchange(sawShippingSection_, false);
    named.sawLoginPage = std::exchange(sawLoginPage_, false);
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
    return TradesMessage(
        QStringLiteral("有 %1 笔交易的收货和物流信息未能下载（订单编号 %2），"
                       "表中它们的收件人和单号可能是空的。请检查网络后重新提取这些交易所在的页面。"),
        orderNumbers, namedAtMost);
}

QString TimedOutDetailsMessage(const QStringList& orderNumbers, int namedAtMost)
{
    return TradesMessage(
        QStringLiteral("有 %1 笔交易的详情页下载超时（订单编号 %2），淘宝的网页一直没有传完，"
                       "表中它们的收件人和单号可能是空的。请稍后重新提取这些交易所在的页面。"),
        orderNumbers, namedAtMost);
}

void DetailShortfall::KeepOrdersIn(const TradeGrid& grid)
{
    failed = OrdersStillInGrid(grid, failed);
    timedOut = OrdersStillInGrid(grid, timedOut);
}

QString DetailShortfallMessage(const DetailShortfall& shortfall, int namedAtMost)
{
    // A time-out is told as one, not as a network failure.
    QStringList networkFailed = shortfall.failed;
    for (const QString& order : shortfall.timedOut)
        networkFailed.removeAll(order);
    return JoinParagraphs({ FailedDetailsMessage(networkFailed, namedAtMost),
        TimedOutDetailsMessage(shortfall.timedOut, namedAtMost) });
}

void WeighMissingSections(DetailShortfall& shortfall, const TradeGrid& grid, bool shopHadSection)
{
    const auto statusOf = [&grid](const QString& order) {
        const int row = grid.FindOrderRow(order);
        return row >= 0 ? CellOrEmpty(grid, row, ColStatus) : QString();
    };
    // A trade the list shows as shipped and not yet received has a parcel:
    // its page without the section is a page that changed, not goods
    // delivered online (those are received at once). So the list tells a
    // renamed section even where no history knows the shop's pages.
    bool listShowsParcels = false;
    for (const Finding& finding : shortfall.findings.All())
        if (finding.kind == FindingKind::WithoutShippingSection) {
            const QString status = statusOf(finding.orderNumber);
            listShowsParcels = listShowsParcels || (IsShippedStatus(status) && !IsFinalTradeStatus(status));
        }
    const bool renamed = !shortfall.sawShippingSection && (shopHadSection || listShowsParcels);
    FindingList weighed;
    for (Finding finding : shortfall.findings.All()) {
        if (finding.kind == FindingKind::WithoutShippingSection) {
            const QString status = statusOf(finding.orderNumber);
            if (IsWaitingToShipStatus(status)) {
                finding.kind = FindingKind::ToShipWithoutRecipient;
                finding.severity = FindingSeverity::Refused;
            } else if (IsShippedStatus(status) && (renamed || !IsFinalTradeStatus(status))) {
                // A parcel on its way: this page changed, whatever the
                // shop's other pages show.
                finding.kind = FindingKind::ShippingSectionRenamed;
                finding.severity = FindingSeverity::ToCheck;
            } else {
                finding.severity = FindingSeverity::Note;
            }
        }
        weighed.Add(finding);
    }
    shortfall.findings = weighed;
}

int DetailShortfall::NamedTrades() const
{
    QSet<QString> named(failed.cbegin(), failed.cend());
    for (const QString& order : findings.Trades())
        named.insert(order);
    return int(named.size());
}

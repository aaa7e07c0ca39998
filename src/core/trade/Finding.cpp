#include "Finding.h"

#include "core/trade/ColumnTable.h"

#include <QSet>

#include <functional>

Finding TradeFinding(
    const QString& orderNumber, FindingKind kind, int column, const QString& seen, FindingSeverity severity)
{
    Finding finding;
    finding.orderNumber = orderNumber;
    finding.kind = kind;
    finding.column = column;
    finding.seen = seen;
    finding.severity = severity;
    return finding;
}

Finding PageFinding(int page, FindingKind kind, const QString& seen, FindingSeverity severity)
{
    Finding finding;
    finding.page = page;
    finding.kind = kind;
    finding.seen = seen;
    finding.severity = severity;
    return finding;
}

namespace {

QString ColumnTitle(int column)
{
    const ColumnFacts* facts = FactsOfColumn(column);
    return facts ? QString::fromUtf16(facts->title) : QString();
}

// "“文三路…”" when something was seen, else nothing.
QString Seen(const Finding& finding)
{
    return finding.seen.isEmpty() ? QString() : QStringLiteral("“%1”").arg(finding.seen.left(60));
}

QString PageName(int page)
{
    return page > 0 ? QStringLiteral("第 %1 页").arg(page) : QStringLiteral("当前页");
}

} // namespace

QString FindingReason(const Finding& finding)
{
    const QString column = ColumnTitle(finding.column);
    switch (finding.kind) {
    case FindingKind::OrderNumberShape:
        return QStringLiteral("订单编号不是数字%1，这笔交易没有写入表格").arg(Seen(finding));
    case FindingKind::ListRowShape:
        return QStringLiteral("列表里这笔交易的格式不同，它的宝贝没有写入");
    case FindingKind::FieldShape:
        return column.isEmpty() ? QStringLiteral("有字段读不准%1，已留空").arg(Seen(finding))
                                : QStringLiteral("%1读不准%2，已留空").arg(column, Seen(finding));
    case FindingKind::AddressToCheck:
        return QStringLiteral("市或区与全国行政区划不符%1，已照原样写入，请核对地址").arg(Seen(finding));
    case FindingKind::ShippedWithoutWaybill:
        return QStringLiteral("已发货，但详情页里没有运单号");
    case FindingKind::WithoutShippingSection:
        return QStringLiteral("详情页里没有收货和物流信息（虚拟商品）");
    case FindingKind::ToShipWithoutRecipient:
        return QStringLiteral("等待发货，但详情页里读不到收件人，不在拣货单和发货单上");
    case FindingKind::ShippingSectionRenamed:
        return QStringLiteral("已发货，但详情页里没有收货地址：详情页可能已改版，请核对收件人和运单号");
    case FindingKind::StatusNotKnown:
        return QStringLiteral("交易状态%1不是已知的状态，已照原样写入，不合并，不在拣货单和发货单上")
            .arg(Seen(finding));
    case FindingKind::ParcelsUnread:
        return QStringLiteral("详情页里有几个包裹，没能读出每个包裹的物流公司和运单号%1，已留空")
            .arg(Seen(finding));
    case FindingKind::MaskedMobile:
        return QStringLiteral("手机号码被隐藏%1，已照原样写入").arg(Seen(finding));
    case FindingKind::PageDiffers:
    case FindingKind::PageUnreadable:
    case FindingKind::PageShort:
        return finding.seen;
    }
    return QString();
}

QString FindingLine(const Finding& finding)
{
    const QString severity = finding.severity == FindingSeverity::Refused ? QStringLiteral("未写入")
        : finding.severity == FindingSeverity::ToCheck                    ? QStringLiteral("请核对")
                                                                          : QStringLiteral("提示");
    if (!finding.ConcernsTrade())
        return QStringLiteral("%1：%2%3").arg(severity, PageName(finding.page), FindingReason(finding));
    return QStringLiteral("%1：订单编号 %2：%3。").arg(severity, finding.orderNumber, FindingReason(finding));
}

namespace {
// What a finding is about: one finding per trade (or page), kind and column.
QString SubjectOf(const Finding& f)
{
    return QStringLiteral("%1|%2|%3|%4").arg(f.orderNumber).arg(f.page).arg(int(f.kind)).arg(f.column);
}

QStringList DistinctTrades(const QList<Finding>& findings, const std::function<bool(const Finding&)>& wanted)
{
    QStringList trades;
    QSet<QString> seen;
    for (const Finding& finding : findings)
        if (finding.ConcernsTrade() && wanted(finding) && !seen.contains(finding.orderNumber)) {
            seen.insert(finding.orderNumber);
            trades.append(finding.orderNumber);
        }
    return trades;
}
} // namespace

void FindingList::Add(const Finding& finding)
{
    const QString subject = SubjectOf(finding);
    if (subjects_.contains(subject))
        return;
    subjects_.insert(subject);
    findings_.append(finding);
}

void FindingList::Append(const FindingList& other)
{
    for (const Finding& finding : other.findings_)
        Add(finding);
}

bool FindingList::Any(FindingSeverity atLeast) const
{
    for (const Finding& finding : findings_)
        if (int(finding.severity) <= int(atLeast))
            return true;
    return false;
}

QStringList FindingList::TradesWith(FindingSeverity severity) const
{
    return DistinctTrades(findings_, [severity](const Finding& f) { return f.severity == severity; });
}

QStringList FindingList::Trades() const
{
    return DistinctTrades(findings_, [](const Finding&) { return true; });
}

int FindingList::PagesNamed() const
{
    QSet<int> pages;
    for (const Finding& finding : findings_)
        if (!finding.ConcernsTrade())
            pages.insert(finding.page);
    return int(pages.size());
}

void FindingList::DropTrades(const QStringList& orderNumbers)
{
    if (orderNumbers.isEmpty())
        return;
    const QSet<QString> dropped(orderNumbers.cbegin(), orderNumbers.cend());
    findings_.removeIf([&](const Finding& finding) { return dropped.contains(finding.orderNumber); });
    subjects_.clear();
    for (const Finding& finding : findings_)
        subjects_.insert(SubjectOf(finding));
}

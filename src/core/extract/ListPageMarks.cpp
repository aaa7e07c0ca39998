#include "ListPageMarks.h"

#include "ListParser.h"
#include "MarkupText.h"
#include "core/base/Endpoints.h"
#include "core/network/BrowserPage.h"
#include "core/network/LoginForm.h"
#include "core/network/PageAccess.h"

#include <algorithm>

namespace {

const QString kTableId = QString::fromLatin1(kListTableId);
constexpr int kOrderRunDigits = 12;

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Whether the text just before a digit run names an order: "订单", or a key
// such as "orderId" / "bizOrderId" / "tid" (any case).
bool AfterOrderLabel(QStringView text, qsizetype runStart)
{
    constexpr qsizetype kLookBack = 24;
    const QStringView before
        = text.sliced(std::max<qsizetype>(0, runStart - kLookBack), std::min(runStart, kLookBack));
    return before.contains(u"订单") || before.contains(u"order", Qt::CaseInsensitive)
        || before.contains(u"tid", Qt::CaseInsensitive);
}

// Distinct runs of 12 or more digits after an order label in text, in order.
void CollectOrderRuns(QStringView text, QStringList& runs)
{
    for (qsizetype i = 0; i < text.size();) {
        if (!IsAsciiDigit(text[i])) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && IsAsciiDigit(text[end]))
            ++end;
        if (end - i >= kOrderRunDigits && AfterOrderLabel(text, i) && !runs.contains(text.sliced(i, end - i)))
            runs.append(text.sliced(i, end - i).toString());
        i = end;
    }
}

// Texts with which a list says it holds no trade.
constexpr QStringView kEmptyListTexts[]
    = { u"没有符合条件的宝贝", u"没有符合条件的订单", u"没有找到符合条件", u"暂无订单", u"暂无交易" };

// Whether the list's own area says it is empty: the shown text of the list
// table, or of an element the page marks as the empty state (a class or
// id with "empty" in it). A script, a style or a sidebar that happens to
// hold one of the phrases says nothing about the list.
bool SaysListEmpty(QStringView bodyHtml)
{
    const MarkupMask mask = MaskMarkup(bodyHtml);
    QString shown;
    for (qsizetype i = 0; i < mask.tags.size(); ++i) {
        const MarkupTag& tag = mask.tags.at(i);
        if (tag.closing)
            continue;
        const QStringView text = bodyHtml.sliced(tag.at, tag.end - tag.at);
        const bool listTable = tag.name == u"table" && text.contains(kTableId);
        bool emptyState = false;
        for (const QStringView attribute : { QStringView(u"class="), QStringView(u"id=") }) {
            const qsizetype at = text.indexOf(attribute, 0, Qt::CaseInsensitive);
            if (at < 0)
                continue;
            qsizetype end = at + attribute.size() + 1;
            while (end < text.size() && text[end] != u'"' && text[end] != u'\'' && text[end] != u' '
                && text[end] != u'>')
                ++end;
            emptyState = emptyState
                || text.sliced(at, end - at).contains(QLatin1String("empty"), Qt::CaseInsensitive);
        }
        if (listTable || emptyState)
            shown += ShownText(bodyHtml, mask, tag.end, ElementEnd(bodyHtml, mask, i));
    }
    for (const QStringView phrase : kEmptyListTexts)
        if (shown.contains(phrase))
            return true;
    return false;
}

} // namespace

ListPageMarks CountListPageMarks(QStringView bodyHtml)
{
    ListPageMarks marks;
    QStringList& runs = marks.scriptOrders;
    constexpr QStringView kScriptOpen = u"<script";
    constexpr QStringView kScriptClose = u"</script";
    for (qsizetype at = bodyHtml.indexOf(kScriptOpen, 0, Qt::CaseInsensitive); at >= 0;
         at = bodyHtml.indexOf(kScriptOpen, at + 1, Qt::CaseInsensitive)) {
        const qsizetype close = bodyHtml.indexOf(kScriptClose, at, Qt::CaseInsensitive);
        const QStringView script = bodyHtml.sliced(at, (close < 0 ? bodyHtml.size() : close) - at);
        CollectOrderRuns(script, runs);
        if (close < 0)
            break;
        at = close;
    }
    marks.saysEmpty = SaysListEmpty(bodyHtml);
    return marks;
}

bool ShowsTradeList(BrowserPage& browser)
{
    return !browser.ElementInnerHtml(kTableId).isEmpty();
}

bool ShowsLoginPage(BrowserPage& browser)
{
    return IsLoginAddress(browser.PageUrl()) || ShowsLoginForm(GetBodyHtml(browser));
}

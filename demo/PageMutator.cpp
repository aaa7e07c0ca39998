#include "PageMutator.h"

#include <QRandomGenerator>
#include <QRegularExpression>

#include <functional>

namespace pagemutation {
namespace {

using Rng = QRandomGenerator;

int Pick(Rng& rng, qsizetype count)
{
    return count <= 0 ? 0 : int(rng.bounded(int(count)));
}

template <typename T> const T& PickOf(Rng& rng, const QList<T>& list)
{
    return list.at(Pick(rng, list.size()));
}

// Every match of pattern in html.
QList<QRegularExpressionMatch> Matches(const QString& html, const QRegularExpression& pattern)
{
    QList<QRegularExpressionMatch> found;
    for (auto it = pattern.globalMatch(html); it.hasNext();)
        found.append(it.next());
    return found;
}

// Replaces capture group of one match picked at random (one after the
// text after, when given); false when none.
bool ReplaceOne(Variant& v, Rng& rng, const QRegularExpression& pattern, int group,
    const std::function<QString(const QRegularExpressionMatch&)>& by, const QString& after = {})
{
    QList<QRegularExpressionMatch> found = Matches(v.html, pattern);
    if (!after.isEmpty()) {
        const qsizetype from = v.html.indexOf(after);
        found.removeIf(
            [&](const QRegularExpressionMatch& m) { return from < 0 || m.capturedStart() < from; });
    }
    if (found.isEmpty())
        return false;
    const QRegularExpressionMatch& m = PickOf(rng, found);
    v.html.replace(m.capturedStart(group), m.capturedLength(group), by(m));
    return true;
}

// Places between two tags, outside scripts: where the markup goes from
// one element to the next with nothing shown between them.
QList<qsizetype> TagBoundaries(const QString& html, const QString& before = QString())
{
    static const QRegularExpression kBoundary(QStringLiteral(">(?=\\s*<)"));
    QList<qsizetype> at;
    for (const QRegularExpressionMatch& m : Matches(html, kBoundary)) {
        const qsizetype script = html.lastIndexOf(QStringLiteral("<script"), m.capturedStart());
        if (script >= 0 && html.indexOf(QStringLiteral("</script"), script) > m.capturedStart())
            continue;
        if (!before.isEmpty() && !QStringView(html).sliced(m.capturedEnd()).trimmed().startsWith(before))
            continue;
        at.append(m.capturedEnd());
    }
    return at;
}

bool InsertAtBoundaries(Variant& v, Rng& rng, const QStringList& pieces, int most, const QString& before = {})
{
    QList<qsizetype> at = TagBoundaries(v.html, before);
    if (at.isEmpty())
        return false;
    QList<qsizetype> chosen;
    for (int i = 1 + Pick(rng, most); i > 0; --i)
        chosen.append(PickOf(rng, at));
    std::sort(chosen.begin(), chosen.end(), std::greater<>());
    for (const qsizetype place : chosen)
        v.html.insert(place, PickOf(rng, pieces));
    return true;
}

// The demo's detail page holds its values in leaf elements of the
// shipping and order sections.
const QRegularExpression kValueCell(QStringLiteral("<dd>([^<]+)</dd>"));
const QRegularExpression kBlock(QStringLiteral("<div id=\"J_Logistics\"[^>]*>.*?</div>(?:\\r?\\n)?"),
    QRegularExpression::DotMatchesEverythingOption);

QString References(const QString& text, Rng& rng, bool hex)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A reference already there stays whole.
        if (c == u'&') {
            const qsizetype end = text.indexOf(u';', i);
            const qsizetype stop = end < 0 ? text.size() : end + 1;
            out += text.sliced(i, stop - i);
            i = stop - 1;
            continue;
        }
        if (c.isSpace() || c.isSurrogate() || rng.bounded(3) != 0)
            out += c;
        else
            out += hex ? QStringLiteral("&#x%1;").arg(c.unicode(), 0, 16)
                       : QStringLiteral("&#%1;").arg(c.unicode());
    }
    return out;
}

struct Mutation {
    const char* name;
    bool keepsMeaning;
    bool list;
    bool detail;
    std::function<bool(Variant&, Rng&)> apply;
    bool replacesPage = false; // another page in the page's place
};

const QList<Mutation>& Mutations()
{
    static const QList<Mutation> kAll {
        // ---- meaning kept ----
        { "blanks between tags", true, true, true,
            [](Variant& v, Rng& rng) {
                return InsertAtBoundaries(v, rng, { " ", "\r\n", "\r\n  ", "  \r\n" }, 12);
            } },
        { "blanks inside start tags", true, true, true,
            [](Variant& v, Rng& rng) {
                static const QRegularExpression tag(QStringLiteral("<([a-zA-Z][a-zA-Z0-9]*)( [^>]*)?(>)"));
                return ReplaceOne(v, rng, tag, 3, [&](const QRegularExpressionMatch&) {
                    return rng.bounded(2) ? QStringLiteral(" >") : QStringLiteral("\r\n>");
                });
            } },
        { "wrapper element", true, true, true,
            [](Variant& v, Rng& rng) {
                static const QRegularExpression leaf(
                    QStringLiteral("<(dd|td|p|h3|h4|dt|strong)( [^>]*)?>([^<]+)</\\1>"));
                return ReplaceOne(v, rng, leaf, 3, [&](const QRegularExpressionMatch& m) {
                    const bool inline_ = m.captured(1) == u"p" || m.captured(1) == u"strong"
                        || m.captured(1).startsWith(u'h') || m.captured(1) == u"dt";
                    const QStringList wrappers = inline_
                        ? QStringList { "<span>%1</span>", "<span class=\"v\">%1</span>", "%1<br>" }
                        : QStringList { "<span>%1</span>", "<div>%1</div>", "<p>%1</p>", "%1<br>" };
                    return PickOf(rng, wrappers).arg(m.captured(3));
                });
            } },
        { "comment", true, true, true,
            [](Variant& v, Rng& rng) {
                return InsertAtBoundaries(v, rng,
                    { "<!-- x -->", "<!-- 运单号：SF000 收货地址：李四，13911112222 包裹9 -->", "<!---->" },
                    4);
            } },
        { "extra script or style", true, false, true,
            [](Variant& v, Rng& rng) {
                return InsertAtBoundaries(v, rng,
                    { "<script>var tip = \"收货和物流信息 收货地址：李四，13911112222 运单号：9 包裹2 "
                      "查看物流信息 暂无订单\";</script>",
                        "<style>.tip:after{content:\"运单号：\"}</style>",
                        "<script src=\"/x.js\"></script>" },
                    3);
            } },
        { "script or style between trades", true, true, false,
            [](Variant& v, Rng& rng) {
                return InsertAtBoundaries(v, rng,
                    { "<script>var tip = \"暂无订单\";</script>",
                        "<style>.x{content:\"没有符合条件的宝贝\"}</style>" },
                    2, QStringLiteral("<tbody"));
            } },
        { "empty rows and bodies", true, true, false,
            [](Variant& v, Rng& rng) {
                return InsertAtBoundaries(v, rng,
                    { "<tbody></tbody>",
                        "<tbody><tr class=\"sep-row\"><td colspan=\"8\"></td></tr></tbody>" },
                    2, QStringLiteral("<tbody"));
            } },
        { "empty lines in the block", true, false, true,
            [](Variant& v, Rng& rng) {
                return InsertAtBoundaries(
                    v, rng, { "<dl></dl>", "<p></p>", "<div>\r\n</div>" }, 3, QStringLiteral("<dl>"));
            } },
        { "attribute quoting and order", true, false, true,
            [](Variant& v, Rng& rng) {
                static const QRegularExpression tag(QStringLiteral("<[a-z0-9]+ ([^>]*[^/>])>"));
                return ReplaceOne(v, rng, tag, 1, [&](const QRegularExpressionMatch& m) {
                    static const QRegularExpression attribute(QStringLiteral("([a-zA-Z-]+)=\"([^\"]*)\""));
                    QStringList attributes;
                    for (const QRegularExpressionMatch& a : Matches(m.captured(1), attribute)) {
                        const QString value = a.captured(2);
                        const bool bare = !value.isEmpty()
                            && !value.contains(QRegularExpression(QStringLiteral("[\\s\"'=<>`]")));
                        const int form = Pick(rng, bare ? 3 : 2);
                        attributes.append(form == 0 ? a.captured(0)
                                : form == 1         ? a.captured(1) + QStringLiteral("='") + value + u'\''
                                                    : a.captured(1) + u'=' + value);
                    }
                    if (attributes.size() > 1 && rng.bounded(2))
                        attributes.swapItemsAt(0, attributes.size() - 1);
                    return attributes.isEmpty() ? m.captured(1) : attributes.join(u' ');
                });
            } },
        { "tag case", true, false, true,
            [](Variant& v, Rng& rng) {
                static const QRegularExpression tag(QStringLiteral("</?([a-z][a-z0-9]*)"));
                bool any = false;
                const QList<QRegularExpressionMatch> found = Matches(v.html, tag);
                for (const QRegularExpressionMatch& m : found)
                    if (rng.bounded(3) == 0) {
                        v.html.replace(m.capturedStart(1), m.capturedLength(1), m.captured(1).toUpper());
                        any = true;
                    }
                return any;
            } },
        { "value characters as references", true, false, true,
            [](Variant& v, Rng& rng) {
                return ReplaceOne(v, rng, kValueCell, 1, [&](const QRegularExpressionMatch& m) {
                    return References(m.captured(1), rng, rng.bounded(2));
                });
            } },
        { "blanks as entities", true, false, true,
            [](Variant& v, Rng& rng) {
                // In the shipping block, where every blank is one; a buyer's
                // U+3000 is a character of the message.
                return ReplaceOne(
                    v, rng, kValueCell, 1,
                    [&](const QRegularExpressionMatch& m) {
                        QString value = m.captured(1);
                        static const QStringList blanks { "&nbsp;", "&#12288;", "\u3000", "&#160;",
                            "\u00a0" };
                        for (qsizetype i = value.indexOf(u' '); i >= 0; i = value.indexOf(u' ', i + 1))
                            if (rng.bounded(2))
                                value.replace(i, 1, PickOf(rng, blanks));
                        return value;
                    },
                    QStringLiteral("J_Logistics"));
            } },
        { "address separators of the other width", true, false, true,
            [](Variant& v, Rng& rng) {
                static const QRegularExpression address(QStringLiteral("收货地址：</dt><dd>([^<]+)</dd>"));
                return ReplaceOne(v, rng, address, 1, [&](const QRegularExpressionMatch& m) {
                    QString line = m.captured(1);
                    for (QChar& c : line)
                        if (c == u'，' && rng.bounded(2))
                            c = u',';
                    return line;
                });
            } },
        { "postage in full-width brackets", true, true, false,
            [](Variant& v, Rng&) {
                const qsizetype before = v.html.size();
                v.html.replace(QStringLiteral("(含快递:"), QStringLiteral("（含快递："));
                v.html.replace(QStringLiteral(")</p>"), QStringLiteral("）</p>"));
                return v.html.size() != before || v.html.contains(QStringLiteral("（含快递："));
            } },
        { "header and footer", true, true, true,
            [](Variant& v, Rng& rng) {
                const qsizetype nav = v.html.indexOf(QStringLiteral("<div id=\"J_SiteNav\""));
                if (nav < 0)
                    return false;
                v.html.insert(nav,
                    PickOf(rng,
                        QStringList { "<div class=\"top\"><a href=\"#\">消息</a> | 帮助</div>\n",
                            "<header><h1>卖家中心</h1></header>", "<div class=\"notice\">系统公告</div>" }));
                if (rng.bounded(2))
                    v.html.replace(
                        QStringLiteral(" | <a href=\"#\">合作伙伴</a> | <a href=\"#\">联系我们</a>"),
                        QStringLiteral(" | <a href=\"#\">隐私权政策</a>"));
                return true;
            } },
        { "status in its own block", true, true, false,
            [](Variant& v, Rng& rng) {
                static const QRegularExpression status(
                    QStringLiteral("(<td class=\"status\"[^>]*>)<p>([^<]*)</p>\\s*(<a "
                                   "[^>]*>详情</a>)[^<]*(<a[^>]*>查看物流</a>)?"));
                return ReplaceOne(v, rng, status, 0, [&](const QRegularExpressionMatch& m) {
                    const QString links = m.captured(3) + QStringLiteral("<a href=\"#\">查看物流</a>");
                    return m.captured(1)
                        + PickOf(rng,
                            QStringList { "<div>%1</div><div>%2</div>", "<p>%1</p><p>%2</p>", "%1<br>%2",
                                "<div><span>%1</span></div><p>%2</p>" })
                              .arg(m.captured(2), links);
                });
            } },
        { "parcel link removed", true, false, true,
            [](Variant& v, Rng& rng) {
                static const QRegularExpression link(
                    QStringLiteral("<p><a href=\"#\">查看物流信息</a></p>(?:\\r?\\n)?"));
                return ReplaceOne(v, rng, link, 0, [](const QRegularExpressionMatch&) { return QString(); });
            } },
        { "first parcel heading removed", true, false, true,
            [](Variant& v, Rng&) {
                const qsizetype before = v.html.size();
                v.html.remove(QRegularExpression(QStringLiteral("<h4>包裹1</h4>\\r?\\n")));
                return v.html.size() != before;
            } },
        // ---- meaning changed ----
        { "value moved into an attribute", false, false, true,
            [](Variant& v, Rng& rng) {
                static const QRegularExpression cell(QStringLiteral("<dd>([^<]+)</dd>"));
                return ReplaceOne(
                    v, rng, cell, 0,
                    [](const QRegularExpressionMatch& m) {
                        return QStringLiteral("<dd data-value=\"%1\"></dd>").arg(m.captured(1));
                    },
                    QStringLiteral("J_Logistics"));
            } },
        { "value moved into a script", false, false, true,
            [](Variant& v, Rng& rng) {
                return ReplaceOne(
                    v, rng, kValueCell, 1,
                    [](const QRegularExpressionMatch& m) {
                        return QStringLiteral("<script>document.write(\"%1\")</script>").arg(m.captured(1));
                    },
                    QStringLiteral("J_Logistics"));
            } },
        { "label renamed", false, false, true,
            [](Variant& v, Rng& rng) {
                static const QList<std::pair<QString, QString>> kRenames { { "收货地址：", "收货人信息：" },
                    { "运送方式：", "配送方式：" }, { "物流公司名称：", "快递公司：" },
                    { "运单号：", "物流单号：" }, { "收货和物流信息", "物流信息" },
                    { "运单号：", "运单号:" } };
                const auto& [from, to] = PickOf(rng, kRenames);
                const qsizetype at = v.html.indexOf(from, v.html.indexOf(QStringLiteral("J_Logistics")));
                if (at < 0)
                    return false;
                v.html.replace(at, from.size(), to);
                return true;
            } },
        { "shipping block or line removed", false, false, true,
            [](Variant& v, Rng& rng) {
                if (rng.bounded(2))
                    return ReplaceOne(
                        v, rng, kBlock, 0, [](const QRegularExpressionMatch&) { return QString(); });
                static const QRegularExpression line(QStringLiteral(
                    "<dl><dt>(运送方式|物流公司名称|运单号)：</dt><dd>[^<]*</dd></dl>\\r?\\n"));
                return ReplaceOne(v, rng, line, 0, [](const QRegularExpressionMatch&) { return QString(); });
            } },
        { "characters anywhere as references", false, false, true,
            [](Variant& v, Rng& rng) {
                static const QRegularExpression text(QStringLiteral(">([^<>]+)<"));
                return ReplaceOne(v, rng, text, 1,
                    [&](const QRegularExpressionMatch& m) { return References(m.captured(1), rng, false); });
            } },
        { "buyer text quoting the page", false, false, true,
            [](Variant& v, Rng& rng) {
                static const QStringList kQuotes {
                    "收货和物流信息写错了，请改收货地址：李四，13911112222，北京市 朝阳区 建国路 1号，100000",
                    "运单号：SF1234567890 查看物流信息 包裹2 物流公司名称：顺丰速运", "查看物流信息",
                    "包裹2 运送方式：自提 我对购买流程有意见或建议", "<dl><dt>运单号：</dt><dd>9</dd></dl>"
                };
                const QString quote = PickOf(rng, kQuotes).toHtmlEscaped();
                v.notesRewritten = true;
                static const QRegularExpression message(QStringLiteral("买家留言：</dt><dd>([^<]*)</dd>"));
                if (ReplaceOne(v, rng, message, 1, [&](const QRegularExpressionMatch&) { return quote; }))
                    return true;
                const QString section
                    = QStringLiteral("<div "
                                     "class=\"order-info\">\n<h3>订单信息</h3>\n<dl><dt>买家留言：</"
                                     "dt><dd>%1</dd></dl>\n</div>\n")
                          .arg(quote);
                const qsizetype block = v.html.indexOf(QStringLiteral("<div id=\"J_Logistics\""));
                const qsizetype items = v.html.indexOf(QStringLiteral("<table class=\"detail-items\""));
                const qsizetype at = rng.bounded(2) || items < 0 ? block : items;
                if (at < 0)
                    return false;
                v.html.insert(at, section);
                return true;
            } },
        { "login page", false, false, true,
            [](Variant& v, Rng& rng) {
                QString form;
                switch (Pick(rng, 3)) {
                case 0:
                    form = "<form method=\"post\"><input type=\"text\" name=\"loginId\"><INPUT TYPE=password "
                           "name=pw></form>";
                    break;
                case 1:
                    form = "<form action=\"/member/login.jhtml?redirectURL=%2Fx\" method=\"post\"><input "
                           "name=\"account\"><button>登录</button></form>";
                    break;
                default:
                    form = "<form action='https://login.example.com/member/login.jhtml'><input type='text' "
                           "name='TPL_username'><input type='password' name='TPL_password'></form>";
                }
                const QString footer = rng.bounded(2)
                    ? QStringLiteral(
                        "<div class=\"footer\"><a href=\"#\">关于淘宝</a> | <a href=\"#\">合作伙伴</a></div>")
                    : QString();
                v.html = QStringLiteral("<!DOCTYPE html>\n<html><head><title>登录</title></head><body>\n"
                                        "<div class=\"login-box\"><h3>卖家登录</h3>%1</div>%2</body></html>")
                             .arg(form, footer);
                v.loginPage = true;
                return true;
            },
            true },
        { "header reshaped", false, true, false,
            [](Variant& v, Rng& rng) {
                static const QRegularExpression header(QStringLiteral("订单编号：(?=<span>)"));
                return ReplaceOne(v, rng, header, 0, [&](const QRegularExpressionMatch&) {
                    return PickOf(rng, QStringList { "订单号：", "订单编号:", "订单编号" });
                });
            } },
        { "item cell moved into an attribute", false, true, false,
            [](Variant& v, Rng& rng) {
                static const QRegularExpression cell(
                    QStringLiteral("<td class=\"(price|num)\">([^<]*)</td>"));
                return ReplaceOne(v, rng, cell, 0, [](const QRegularExpressionMatch& m) {
                    return QStringLiteral("<td class=\"%1\" data-v=\"%2\"></td>")
                        .arg(m.captured(1), m.captured(2));
                });
            } },
        { "trade duplicated", false, true, false,
            [](Variant& v, Rng& rng) {
                static const QRegularExpression trade(
                    QStringLiteral("<tbody class=\"trade\".*?</tbody>\\r?\\n"),
                    QRegularExpression::DotMatchesEverythingOption);
                return ReplaceOne(v, rng, trade, 0,
                    [](const QRegularExpressionMatch& m) { return m.captured(0) + m.captured(0); });
            } },
        { "buyer text quoting the list", false, true, false,
            [](Variant& v, Rng& rng) {
                static const QRegularExpression title(
                    QStringLiteral("<tbody class=\"trade\" data-order=\"(\\d+)\"[^>]*>(?:(?!</tbody>).)*?<td "
                                   "class=\"item\"[^>]*>\\s*<a [^>]*>([^<]*)</a>"),
                    QRegularExpression::DotMatchesEverythingOption);
                static const QStringList kQuotes { "订单编号：123456789012345 成交时间：2024-01-01 00:00:00",
                    "包邮 暂无订单", "详情 交易关闭", "没有符合条件的宝贝" };
                QString order;
                const bool done = ReplaceOne(v, rng, title, 2, [&](const QRegularExpressionMatch& m) {
                    order = m.captured(1);
                    return PickOf(rng, kQuotes);
                });
                if (done)
                    v.rewrittenOrders.insert(order);
                return done;
            } },
        { "rows moved into a script", false, true, false,
            [](Variant& v, Rng& rng) {
                static const QRegularExpression trade(
                    QStringLiteral("<tbody class=\"trade\" data-order=\"(\\d+)\"[^>]*>.*?</tbody>\\r?\\n"),
                    QRegularExpression::DotMatchesEverythingOption);
                const QList<QRegularExpressionMatch> found = Matches(v.html, trade);
                if (found.isEmpty())
                    return false;
                // Keyed "id" the numbers count for nothing; a phrase in
                // the script says nothing about the list either.
                const QString key = rng.bounded(2) ? QStringLiteral("id") : QStringLiteral("orderId");
                QStringList rows;
                for (qsizetype i = found.size() - 1; i >= 0; --i) {
                    rows.prepend(QStringLiteral("{\"%1\":\"%2\"}").arg(key, found[i].captured(1)));
                    v.html.remove(found[i].capturedStart(), found[i].capturedLength());
                }
                const qsizetype end = v.html.indexOf(QStringLiteral("</table>"));
                v.html.insert(end + 8,
                    QStringLiteral(
                        "\n<script>var empty = \"暂无订单\"; window.__DATA__ = {\"list\":[%1]};</script>")
                        .arg(rows.join(u',')));
                return true;
            } },
    };
    return kAll;
}

} // namespace

Variant Mutate(
    const QString& html, PageKind kind, quint64 seed, int steps, bool keptOnly, bool mayReplacePage)
{
    Rng rng(seed);
    Variant v;
    v.html = html;
    QList<const Mutation*> usable;
    for (const Mutation& m : Mutations())
        if ((kind == PageKind::List ? m.list : m.detail) && (m.keepsMeaning || !keptOnly)
            && (mayReplacePage || !m.replacesPage))
            usable.append(&m);
    for (int tries = 0; v.chain.size() < steps && tries < steps * 8; ++tries) {
        const Mutation* m = PickOf(rng, usable);
        // A login page is the whole answer: nothing is laid over it.
        if (v.loginPage)
            break;
        if (!m->apply(v, rng))
            continue;
        v.chain.append(QString::fromUtf8(m->name));
        v.meaningKept = v.meaningKept && m->keepsMeaning;
    }
    return v;
}

QStringList MutationNames(PageKind kind)
{
    QStringList names;
    for (const Mutation& m : Mutations())
        if (kind == PageKind::List ? m.list : m.detail)
            names.append(QString::fromUtf8(m.name));
    return names;
}

} // namespace pagemutation

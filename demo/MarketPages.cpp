#include "MarketPages.h"

#include "ShopNotes.h"

#include <QUrl>

#include <unicode/ucnv.h>

namespace demo {
namespace {

QString Esc(const QString& text)
{
    return text.toHtmlEscaped();
}

// Pages are written with "\n"; the wire form has CR LF.
QString Crlf(QString text)
{
    text.remove(QLatin1Char('\r'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

QByteArray Utf8(const QString& page)
{
    return Crlf(page).toUtf8();
}

QByteArray Gbk(const QString& page)
{
    return GbkBytes(Crlf(page));
}

const QString kStyle = QStringLiteral(R"(<style>
body{font-family:sans-serif;font-size:13px;margin:0;color:#333}
.site-nav{background:#f5f5f5;border-bottom:1px solid #ddd;padding:6px 16px}
.site-nav a{margin-right:12px}
.main{padding:12px 16px}
.menu{float:left;width:140px}
.content{margin-left:160px}
table.trade-list{border-collapse:collapse;width:100%}
table.trade-list th,table.trade-list td{border:1px solid #e5e5e5;padding:4px 6px;vertical-align:top}
tr.sep-row td{border:none;height:8px;padding:0}
tr.order-hd td{background:#f0f6ff}
.pagination{margin:12px 0}
.pagination .disabled{color:#aaa}
.login-box{width:320px;margin:60px auto;border:1px solid #ddd;padding:20px}
</style>
)");

QString Head(const QString& title, const QString& charset)
{
    return QStringLiteral(
               "<!DOCTYPE html>\n<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
               "charset=%1\">\n<title>%2</title>\n")
               .arg(charset, Esc(title))
        + kStyle + QStringLiteral("</head>\n");
}

// The same header on every back-office page, with the seller's nick.
QString SiteNav(const Shop& shop)
{
    return QStringLiteral("<div id=\"J_SiteNav\" class=\"site-nav\">\n"
                          "<span>卖家：</span><a class=\"user-nick\" href=\"%1\">%2</a>\n"
                          "<a href=\"%1\">卖家中心</a>\n"
                          "<a href=\"%3\">退出</a>\n"
                          "</div>\n")
        .arg(paths::kBackOffice, Esc(shop.nick), paths::kLogout);
}

QString Menu()
{
    return QStringLiteral("<div class=\"menu\">\n<h4>交易管理</h4>\n<ul>\n"
                          "<li><a id=\"J_SoldItems\" href=\"%1\">已卖出的宝贝</a></li>\n"
                          "<li><span>评价管理</span></li>\n</ul>\n</div>\n")
        .arg(SoldItemsAddress(1).toHtmlEscaped());
}

QString AfterSalesCell(const ShopItem& item)
{
    QString cell = Esc(item.afterSales);
    if (item.complaintLink)
        cell += QStringLiteral("<br><a class=\"complain\" href=\"#\">投诉维权</a>");
    return QStringLiteral("<td class=\"after-sale\">%1</td>\n").arg(cell);
}

// The four cells of one item: title, unit price, quantity, after-sales.
QString ItemCells(const ShopTrade& trade, const ShopItem& item)
{
    // The options stand below the title, as the list shows them.
    const QString options = item.options.isEmpty()
        ? QString()
        : QStringLiteral("\n<div class=\"props\">%1</div>").arg(Esc(item.options));
    return QStringLiteral("<td class=\"item\"><a href=\"%1\" target=\"_blank\">%2</a> "
                          "<span class=\"snapshot\">[交易快照]</span>%5</td>\n"
                          "<td class=\"price\">%3</td>\n"
                          "<td class=\"num\">%4</td>\n")
               .arg(TradeDetailAddress(trade.orderNumber).toHtmlEscaped(), Esc(item.title), item.price)
               .arg(item.quantity)
               .arg(options)
        + AfterSalesCell(item);
}

QString TradeHeader(const ShopTrade& trade)
{
    const TradeMisshape& m = trade.misshape;
    const QString number = m.listedOrderNumber.isEmpty() ? trade.orderNumber : m.listedOrderNumber;
    if (m.headerSplit)
        return QStringLiteral("<td colspan=\"4\"><label class=\"order-id\">订单编号：<span>%1</span></label></td>"
                              "<td colspan=\"4\"><span class=\"deal-time\">成交时间：%2</span></td>")
            .arg(number, trade.time);
    return QStringLiteral("<td colspan=\"8\"><label class=\"order-id\">"
                          "订单编号：<span>%1</span></label>%2<span class=\"deal-time\">成交时间：%3</span></td>")
        .arg(number, trade.headerGap, trade.time);
}

QString TradeBody(const ShopTrade& trade)
{
    const TradeMisshape& m = trade.misshape;
    const int span = int(trade.items.size());
    QString html = QStringLiteral("<tbody class=\"trade\" data-order=\"%1\">\n"
                                  "<tr class=\"sep-row\"><td colspan=\"8\"></td></tr>\n")
                       .arg(trade.orderNumber);
    // The other template gives the header and the first item in one row.
    html += m.otherTemplate ? QStringLiteral("<tr class=\"order\">") + TradeHeader(trade)
                            : QStringLiteral("<tr class=\"order-hd\">") + TradeHeader(trade)
            + QStringLiteral("</tr>\n<tr class=\"order-item\">\n");
    const QString name = trade.name.isEmpty()
        ? QString()
        : QStringLiteral("<p class=\"buyer-name\">%1</p> ").arg(Esc(trade.name));
    html += ItemCells(trade, trade.items.first())
        + QStringLiteral("<td class=\"buyer\" rowspan=\"%1\"><p class=\"buyer-nick\">%2</p> %3"
                         "<a class=\"ww\" href=\"#\">旺旺在线</a></td>\n"
                         "<td class=\"status\" rowspan=\"%1\"><p>%4</p>%9<a href=\"%5\" "
                         "target=\"_blank\">详情</a>%10</td>\n"
                         "<td class=\"amount\" rowspan=\"%1\"><strong>%6</strong> "
                         "<p class=\"post-fee\">(含快递:%7)</p></td>\n"
                         "<td class=\"rating\" rowspan=\"%1\">%8</td>\n")
              .arg(QString::number(span), Esc(trade.buyer), name, Esc(trade.status),
                  TradeDetailAddress(trade.orderNumber).toHtmlEscaped(), trade.amount, trade.shipping,
                  Esc(trade.rating), m.statusParagraph ? QStringLiteral("\n") : m.statusGap,
                  m.statusParagraph ? QStringLiteral("\n<a href=\"#\">查看物流</a>") : QString());
    if (m.itemExtraCell)
        html += QStringLiteral("<td class=\"memo\" rowspan=\"%1\">备注</td>\n").arg(span);
    html += QStringLiteral("</tr>\n");
    for (qsizetype i = 1; i < trade.items.size(); ++i)
        html += QStringLiteral("<tr class=\"order-item\">\n") + ItemCells(trade, trade.items[i])
            + QStringLiteral("</tr>\n");
    html += QStringLiteral("</tbody>\n");
    return html;
}

QString Pager(int page, int pageCount)
{
    QString html = QStringLiteral("<div class=\"pagination\">\n");
    if (page > 1)
        html += QStringLiteral("<a class=\"page-prev\" href=\"%1\">上一页</a>\n")
                    .arg(SoldItemsAddress(page - 1).toHtmlEscaped());
    else
        html += QStringLiteral("<span class=\"page-prev disabled\">上一页</span>\n");
    html += QStringLiteral("<span class=\"page-cur\">第 %1 页 / 共 %2 页</span>\n").arg(page).arg(pageCount);
    if (page < pageCount)
        html += QStringLiteral("<a class=\"page-next\" href=\"%1\">下一页</a>\n")
                    .arg(SoldItemsAddress(page + 1).toHtmlEscaped());
    else
        html += QStringLiteral("<a class=\"page-next disabled\" disabled=\"disabled\">下一页</a>\n");
    html += QStringLiteral("</div>\n");
    return html;
}

QString LogisticsBlock(const ShopTrade& trade)
{
    const TradeMisshape& m = trade.misshape;
    const QString addressLabel
        = trade.renamedAddressLabel ? QStringLiteral("收货人信息：") : QStringLiteral("收货地址：");
    const QString addressLine = m.addressLineHtml.isEmpty() ? Esc(trade.AddressLine()) : m.addressLineHtml;
    QString html = QStringLiteral("<div id=\"J_Logistics\" class=\"logistics\">\n<h3>收货和物流信息</h3>\n"
                                  "<dl><dt>%1</dt><dd>%2</dd></dl>\n")
                       .arg(addressLabel, addressLine);
    if (!m.noMethodLine)
        html += QStringLiteral("<dl><dt>运送方式：</dt><dd>%1</dd></dl>\n").arg(Esc(trade.shippingMethod));
    if (!m.parcelLayout.isEmpty()) {
        // Each parcel with its own lines and logistics link.
        for (qsizetype i = 0; i < m.parcelWaybills.size(); ++i) {
            if (m.parcelLayout == QStringLiteral("headings"))
                html += QStringLiteral("<h4>包裹%1</h4>\n").arg(i + 1);
            html += QStringLiteral("<dl><dt>物流公司名称：</dt><dd>%1</dd></dl>\n"
                                   "<dl><dt>运单号：</dt><dd>%2</dd></dl>\n"
                                   "<p><a href=\"#\">查看物流信息</a></p>\n")
                        .arg(Esc(m.parcelCompanies.value(i)), Esc(m.parcelWaybills.at(i)));
        }
        return html + QStringLiteral("</div>\n");
    }
    html += QStringLiteral("<dl><dt>物流公司名称：</dt><dd>%1</dd></dl>\n").arg(Esc(trade.company));
    if (!m.noWaybillLine)
        html += QStringLiteral("<dl><dt>运单号：</dt><dd>%1</dd></dl>\n").arg(Esc(trade.waybill));
    return html + QStringLiteral("<p><a href=\"#\">查看物流信息</a></p>\n</div>\n");
}

// A top-up is delivered to an account, not to an address.
QString VirtualGoodsBlock()
{
    return QStringLiteral("<div class=\"virtual-goods\">\n<h3>充值信息</h3>\n"
                          "<p>虚拟物品，付款后自动充值，无需物流。</p>\n</div>\n");
}

} // namespace

QByteArray GbkBytes(const QString& text)
{
    // GB18030 gives every GBK character its GBK bytes; the pages hold
    // only GBK characters. ICU directly, as the tool does: Qt has GB18030
    // only where it was built with ICU.
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("GB18030", &status);
    QByteArray bytes((text.size() + 10) * 4, Qt::Uninitialized);
    const int32_t length = ucnv_fromUChars(converter, bytes.data(), int32_t(bytes.size()),
        QStringView(text).utf16(), int32_t(text.size()), &status);
    ucnv_close(converter);
    if (U_FAILURE(status))
        qFatal("demo pages cannot be encoded as GB18030: %s", u_errorName(status));
    bytes.truncate(length);
    return bytes;
}

QString FromGbk(const QByteArray& bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("GB18030", &status);
    QString text((bytes.size() + 1) * 2, Qt::Uninitialized);
    const int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar*>(text.data()), int32_t(text.size()),
        bytes.constData(), int32_t(bytes.size()), &status);
    ucnv_close(converter);
    if (U_FAILURE(status))
        qFatal("demo pages cannot be decoded from GB18030: %s", u_errorName(status));
    text.truncate(length);
    return text;
}

QString SoldItemsAddress(int page)
{
    return paths::kSoldItems + QStringLiteral("?page=") + QString::number(page);
}

QString TradeDetailAddress(const QString& orderNumber)
{
    return paths::kTradeDetail + QStringLiteral("?bizOrderId=")
        + QString::fromLatin1(QUrl::toPercentEncoding(orderNumber));
}

QByteArray LoginPage(const QString& redirectUrl, const QString& message)
{
    QString html = Head(QStringLiteral("登录"), QStringLiteral("utf-8"));
    html += QStringLiteral("<body>\n<div class=\"login-box\">\n<h3>卖家登录（演示市场）</h3>\n");
    if (!message.isEmpty())
        html += QStringLiteral("<p class=\"error\">%1</p>\n").arg(Esc(message));
    html += QStringLiteral(
        "<form id=\"J_LoginForm\" method=\"post\" action=\"%1\">\n"
        "<input type=\"hidden\" name=\"redirectURL\" value=\"%2\">\n"
        "<p><label>账户名 <input type=\"text\" name=\"TPL_username\" id=\"TPL_username\"></label></p>\n"
        "<p><label>密码 <input type=\"password\" name=\"TPL_password\" id=\"TPL_password\"></label></p>\n"
        "<p><button type=\"submit\" id=\"J_SubmitStatic\">登录</button></p>\n"
        "</form>\n"
        "<p>演示市场：任意账户名和密码均可登录。</p>\n"
        "</div>\n</body>\n</html>\n")
                .arg(paths::kLogin, Esc(redirectUrl));
    return Utf8(html);
}

QByteArray BackOfficePage(const Shop& shop)
{
    QString html = Head(QStringLiteral("卖家中心"), QStringLiteral("utf-8"));
    html += QStringLiteral("<body>\n") + SiteNav(shop) + QStringLiteral("<div class=\"main\">\n") + Menu();
    html += QStringLiteral("<div class=\"content\">\n<h2>卖家中心</h2>\n"
                           "<p>店铺共有 %1 笔交易。请打开“已卖出的宝贝”查看。</p>\n"
                           "</div>\n</div>\n</body>\n</html>\n")
                .arg(shop.trades.size());
    return Utf8(html);
}

QByteArray SoldItemsPage(const Shop& shop, int page)
{
    QString html = Head(QStringLiteral("已卖出的宝贝"), QStringLiteral("utf-8"));
    html += QStringLiteral("<body>\n") + SiteNav(shop) + QStringLiteral("<div class=\"main\">\n") + Menu();
    html += QStringLiteral("<div class=\"content\">\n<h2>已卖出的宝贝</h2>\n"
                           "<table id=\"J_ListTable\" class=\"trade-list\">\n<thead>\n<tr>"
                           "<th>宝贝</th><th>单价(元)</th><th>数量</th><th>售后</th>"
                           "<th>买家</th><th>交易状态</th><th>实收款(元)</th><th>评价</th>"
                           "</tr>\n</thead>\n");
    const qsizetype first = qsizetype(page - 1) * shop.perPage;
    const qsizetype last = qMin(first + shop.perPage, shop.trades.size());
    if (first >= last)
        html += QStringLiteral(
            "<tbody class=\"empty\">\n<tr><td colspan=\"8\">没有符合条件的宝贝</td></tr>\n</tbody>\n");
    const bool inScript = shop.rowsInScriptFrom > 0 && page >= shop.rowsInScriptFrom;
    if (shop.repeatAtPageTop && page > 1 && first < last && !inScript)
        html += TradeBody(shop.trades[first - 1]);
    for (qsizetype i = first; i < last && !inScript; ++i)
        html += TradeBody(shop.trades[i]);
    html += QStringLiteral("</table>\n") + Pager(page, shop.PageCount());
    if (inScript) {
        // The rows as data, for a script to build the table from.
        QStringList orders;
        for (qsizetype i = first; i < last; ++i)
            orders.append(
                QStringLiteral("{\"orderId\":\"%1\",\"createTime\":\"%2\",\"status\":\"%3\"}")
                    .arg(shop.trades[i].orderNumber, shop.trades[i].time, Esc(shop.trades[i].status)));
        html += QStringLiteral("<script>window.__DATA__ = {\"mainOrders\":[%1]};</script>\n")
                    .arg(orders.join(QLatin1Char(',')));
    }
    html += QStringLiteral("</div>\n</div>\n</body>\n</html>\n");
    return Utf8(html);
}

QByteArray DownloadPage(const QString& version)
{
    QString html = QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n"
                                  "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
                                  "<title>Lumetra交易数据提取软件(%1)</title>\n</head>\n<body>\n"
                                  "<h1>Lumetra交易数据提取软件</h1>\n<p>最新版本：%1</p>\n</body>\n</html>\n")
                       .arg(Esc(version));
    return Utf8(html);
}

QByteArray NotFoundPage()
{
    return Utf8(QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta http-equiv=\"Content-Type\" "
                               "content=\"text/html; charset=utf-8\">\n<title>页面不存在</title>\n</head>\n"
                               "<body>\n<p>您访问的页面不存在。</p>\n</body>\n</html>\n"));
}

QByteArray StatusChangedPage(const QString& orderNumber, const QString& status)
{
    const QString said = status.isEmpty()
        ? QStringLiteral("没有改动：订单 %1 或状态不存在（可用：%2）。").arg(Esc(orderNumber), kChangeableStatuses.join(u'、'))
        : QStringLiteral("订单 %1 的状态已改为 %2。").arg(Esc(orderNumber), Esc(status));
    return Utf8(QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta http-equiv=\"Content-Type\" "
                               "content=\"text/html; charset=utf-8\">\n<title>修改交易状态</title>\n</head>\n"
                               "<body>\n<p>%1</p>\n</body>\n</html>\n")
            .arg(said));
}

QByteArray TradeDetailPage(const Shop& shop, const ShopTrade& trade)
{
    QString html = Head(QStringLiteral("交易详情"), QStringLiteral("gbk"));
    html += QStringLiteral("<body>\n") + SiteNav(shop);
    html += QStringLiteral(
        "<div class=\"main\">\n<div class=\"detail-hd\">"
        "<span>订单编号：%1</span> <span>成交时间：%2</span> <span>交易状态：%3</span></div>\n")
                .arg(trade.orderNumber, trade.time, Esc(trade.status));
    // Before the shipping block: what follows its last line up to the
    // feedback line belongs to that line.
    html += OrderInfoSection(trade);
    html += trade.virtualGoods ? VirtualGoodsBlock() : LogisticsBlock(trade);
    html += QStringLiteral(
        "<table class=\"detail-items\">\n<tr><th>宝贝</th><th>单价(元)</th><th>数量</th></tr>\n");
    for (const ShopItem& item : trade.items)
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>\n")
                    .arg(Esc(item.title), item.price)
                    .arg(item.quantity);
    html += QStringLiteral("</table>\n<p>实收款：%1 元</p>\n</div>\n").arg(trade.amount);
    html += QStringLiteral("<p class=\"feedback\"><a href=\"#\">我对购买流程有意见或建议</a></p>\n"
                           "<div class=\"footer\"><a href=\"#\">关于淘宝</a> | <a href=\"#\">合作伙伴</a> | "
                           "<a href=\"#\">联系我们</a></div>\n</body>\n</html>\n");
    return Gbk(html);
}

QByteArray TradeMissingPage(const Shop& shop, const QString& orderNumber)
{
    QString html = Head(QStringLiteral("交易详情"), QStringLiteral("gbk"));
    html += QStringLiteral("<body>\n") + SiteNav(shop);
    html += QStringLiteral("<div class=\"main\">\n<p>没有找到订单 %1。</p>\n</div>\n"
                           "<div class=\"footer\"><a href=\"#\">关于淘宝</a></div>\n</body>\n</html>\n")
                .arg(Esc(orderNumber));
    return Gbk(html);
}

QByteArray BusyPage()
{
    QString html = Head(QStringLiteral("系统繁忙"), QStringLiteral("gbk"));
    html += QStringLiteral("<body>\n<p>系统繁忙，请稍后再试。</p>\n</body>\n</html>\n");
    return Gbk(html);
}

} // namespace demo

#include "ShopNotes.h"

namespace demo {

namespace {

// Markup escaped; characters GBK lacks as numeric entities; line breaks as <br>.
QString NoteHtml(const QString& text)
{
    QString html;
    const QList<uint> characters = text.toUcs4();
    for (const uint c : characters) {
        if (c == '\n')
            html += QStringLiteral("<br>");
        else if (c > 0xFFFF)
            html += QStringLiteral("&#%1;").arg(c);
        else
            html += QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1).toHtmlEscaped();
    }
    return html;
}

} // namespace

QString LongBuyerMessage()
{
    const QString sentence
        = QStringLiteral("请在包裹里放一张手写贺卡，写上“生日快乐 Happy Birthday”，外箱不要写品名。");
    QString text;
    while (text.size() < 500)
        text += sentence;
    return text.left(500);
}

void ApplyOrderNotes(Shop& shop)
{
    const auto at = [&](int index) { return index < shop.trades.size() ? &shop.trades[index] : nullptr; };
    if (ShopTrade* t = at(notes::kBoth)) {
        t->buyerMessage = QStringLiteral("请发顺丰，周末不在家");
        t->sellerMemo = QStringLiteral("送小样两份");
    }
    if (ShopTrade* t = at(notes::kMessageOnly))
        t->buyerMessage = QStringLiteral("不要放发票");
    if (ShopTrade* t = at(notes::kMemoOnly))
        t->sellerMemo = QStringLiteral("老客户，优先发货");
    if (ShopTrade* t = at(notes::kLong))
        t->buyerMessage = LongBuyerMessage();
    if (ShopTrade* t = at(notes::kLineBreak))
        t->buyerMessage = QStringLiteral("换成红色\n尺码要大一号");
    if (ShopTrade* t = at(notes::kMarkup)) {
        t->buyerMessage = QStringLiteral("<b>&amp; 加急</b>");
        t->sellerMemo = QStringLiteral("a < b & c > \"d\"");
    }
    if (ShopTrade* t = at(notes::kEmoji))
        t->buyerMessage = QStringLiteral("生日礼物\U0001F381请包装好");
    if (ShopTrade* t = at(notes::kEmptyLabels))
        t->notesLabels = true;
}

QString OrderInfoSection(const ShopTrade& trade)
{
    if (trade.buyerMessage.isEmpty() && trade.sellerMemo.isEmpty() && !trade.notesLabels)
        return QString();
    QString html = QStringLiteral("<div class=\"order-info\">\n<h3>订单信息</h3>\n");
    if (!trade.buyerMessage.isEmpty() || trade.notesLabels)
        html += QStringLiteral("<dl><dt>买家留言：</dt><dd>%1</dd></dl>\n").arg(NoteHtml(trade.buyerMessage));
    if (!trade.sellerMemo.isEmpty() || trade.notesLabels)
        html += QStringLiteral("<dl><dt>卖家备注：</dt><dd>%1</dd></dl>\n").arg(NoteHtml(trade.sellerMemo));
    return html + QStringLiteral("</div>\n");
}

} // namespace demo

#include "NotesBox.h"

#include "PageFlow.h"
#include "core/print/ShippingDocuments.h"

namespace {

QString Paragraph(const QString& label, const QString& text, const QString& order)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(u'\r', u'\n');
    return order.isEmpty() ? label + lines : QStringLiteral("订单 %1　%2%3").arg(order, label, lines);
}

} // namespace

QString SlipNotesText(const PackingSlip& slip, bool withMemo)
{
    // A parcel of one trade needs no order number beside its texts.
    const bool several = slip.orders.size() > 1;
    QStringList paragraphs;
    for (const TradeNotes& notes : slip.notes) {
        const QString order = several ? notes.order : QString();
        if (!notes.message.isEmpty())
            paragraphs.append(Paragraph(QStringLiteral("买家留言："), notes.message, order));
        if (withMemo && !notes.memo.isEmpty())
            paragraphs.append(Paragraph(QStringLiteral("卖家备注："), notes.memo, order));
    }
    return paragraphs.join(u'\n');
}

void PaintSlipNotes(PageFlow& flow, const PackingSlip& slip, bool withMemo)
{
    const QString text = SlipNotesText(slip, withMemo);
    if (text.isEmpty())
        return;
    flow.Space(flow.LineHeight() * 0.5);
    flow.Row({ text }, { { 1.0 } });
}

QString MarkedOrders(
    const QStringList& orders, const QSet<QString>& withNotes, const QHash<QString, QString>& memos)
{
    if (withNotes.isEmpty() && memos.isEmpty())
        return orders.join(u'、');
    QStringList marked;
    marked.reserve(orders.size());
    for (const QString& order : orders) {
        QString text = withNotes.contains(order) ? order + kNotesMark.toString() : order;
        if (const auto memo = memos.constFind(order); memo != memos.cend())
            text += QStringLiteral("（卖家备注：%1）")
                        .arg(QString(*memo).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
        marked.append(text);
    }
    return marked.join(u'、');
}

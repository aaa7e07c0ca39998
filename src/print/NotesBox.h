#pragma once
// The buyer's messages and the seller's memos on the shipping documents:
// a framed box under a slip's items ("买家留言：…", "卖家备注：…"), each
// trade's own under its order number when the parcel holds several, and
// the mark of an order with notes on the picking list with its footnote.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

class PageFlow;
struct PackingSlip;

// The mark beside an order number with a message or memo, and what it
// means, said once at the foot of every picking-list page.
inline constexpr QStringView kNotesMark = u"※";
inline constexpr QStringView kNotesFootnote = u"※ 该订单有买家留言，请看发货单";

// The box's text: one paragraph per message, and per memo when withMemo
// (the slip goes into the parcel: the seller's memo only when asked), the
// texts' own line breaks kept (LF between lines).
QString SlipNotesText(const PackingSlip& slip, bool withMemo);

// Paints the box into the flow; a slip without notes gets none. The box is
// wrapped and goes on in the slip's next area when it does not fit: no
// text is ever cut.
void PaintSlipNotes(PageFlow& flow, const PackingSlip& slip, bool withMemo);

// A picking-list line's order numbers, "、"-joined, each one with a buyer's
// message marked and each one with a seller's memo followed by it
// ("1001（卖家备注：VIP 老客户）"): the memo is the packer's to read.
QString MarkedOrders(
    const QStringList& orders, const QSet<QString>& withNotes, const QHash<QString, QString>& memos = {});

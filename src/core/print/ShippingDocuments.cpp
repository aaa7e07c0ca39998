#include "ShippingDocuments.h"

#include "core/grid/GridSetup.h"
#include "core/grid/GridSteps.h"
#include "core/grid/ItemRecord.h"
#include "core/grid/RecipientMerge.h"
#include "core/grid/TradeGrid.h"
#include "core/text/TextHelpers.h"
#include "core/trade/MergeRules.h"

#include <QCollator>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

bool IsToShipLine(QStringView status)
{
    return IsWaitingToShipStatus(status);
}

// The lines of a cell the merge may have joined.
QStringList CellLines(const QString& cell)
{
    QStringList lines = cell.split(kJoinedLineBreak.toString(), Qt::SkipEmptyParts);
    for (QString& line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    return lines;
}

// The row's items. A row of a grid restored from an older recovery file has
// no item column: the shown cells stand in (only the title's first word).
QVector<ItemRecord> RowItems(const TradeGrid& grid, int row)
{
    QVector<ItemRecord> records = ItemRecordsOf(CellOrEmpty(grid, row, ColItemRecord));
    if (records.isEmpty())
        records.append({ CellLines(CellOrEmpty(grid, row, ColOrderNumber)).value(0),
            CellOrEmpty(grid, row, ColUnitPrice), CellOrEmpty(grid, row, ColQuantity),
            CellLines(CellOrEmpty(grid, row, ColItem)).join(u' ') });
    return records;
}

QStringList RowTrades(const TradeGrid& grid, int row, const QVector<ItemRecord>& items)
{
    QStringList trades;
    for (const ItemRecord& item : items)
        trades.append(TradeOfOrder(item.order));
    for (const QString& order : CellLines(CellOrEmpty(grid, row, ColOrderNumber)))
        trades.append(TradeOfOrder(order));
    trades.removeAll(QString());
    trades.removeDuplicates();
    return trades;
}

QString JoinedCell(const TradeGrid& grid, int row, int col)
{
    return CellLines(CellOrEmpty(grid, row, col)).join(QStringLiteral(" / "));
}

// The row's notes, trade by trade. A row of a grid restored from an older
// recovery file has no note record: its shown cells stand in, under the
// row's trades.
QVector<TradeNotes> RowNotes(const TradeGrid& grid, int row, const QStringList& trades)
{
    QVector<TradeNotes> notes = NoteRecordsOf(CellOrEmpty(grid, row, ColNoteRecord));
    if (notes.isEmpty() && RowHasNotes(grid, row))
        notes.append({ trades.join(QStringLiteral("、")), CellOrEmpty(grid, row, ColBuyerMessage),
            CellOrEmpty(grid, row, ColSellerMemo) });
    return notes;
}

PackingSlip SlipOfRow(const TradeGrid& grid, int row)
{
    PackingSlip slip;
    slip.recipient = CellOrEmpty(grid, row, ColRecipient);
    slip.mobile = JoinedCell(grid, row, ColMobile);
    slip.telephone = JoinedCell(grid, row, ColTelephone);
    slip.province = CellOrEmpty(grid, row, ColProvince);
    slip.city = CellOrEmpty(grid, row, ColCity);
    slip.district = CellOrEmpty(grid, row, ColDistrict);
    slip.address = CellOrEmpty(grid, row, ColAddress);
    slip.postcode = CellOrEmpty(grid, row, ColPostcode);
    return slip;
}

struct PickKey {
    QString text;
    QString price;
    bool operator==(const PickKey&) const = default;
};
size_t qHash(const PickKey& key, size_t seed = 0)
{
    return qHashMulti(seed, key.text, key.price);
}

void SortPickLines(QVector<PickLine>& lines)
{
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setNumericMode(true);
    std::stable_sort(lines.begin(), lines.end(), [&](const PickLine& a, const PickLine& b) {
        if (const int byTitle = collator.compare(a.title, b.title); byTitle != 0)
            return byTitle < 0;
        if (const int byOptions = collator.compare(a.options, b.options); byOptions != 0)
            return byOptions < 0;
        return LeadingNumber(a.unitPrice) < LeadingNumber(b.unitPrice);
    });
}

} // namespace

bool IsToShipStatus(const QString& statusCell)
{
    const QStringList lines = CellLines(statusCell);
    return !lines.isEmpty() && std::all_of(lines.cbegin(), lines.cend(), IsToShipLine);
}

namespace {

bool IsRecipientColumn(int column)
{
    return column >= ColRecipient && column <= ColPostcode;
}

// The trades whose recipient the checks refused, and those whose address
// is to be checked.
struct RecipientVerdicts {
    QSet<QString> refused;
    QSet<QString> toCheck;
};

RecipientVerdicts VerdictsOf(const FindingList& findings)
{
    RecipientVerdicts verdicts;
    for (const Finding& finding : findings.All()) {
        if (!finding.ConcernsTrade())
            continue;
        if (finding.severity == FindingSeverity::Refused
            && (IsRecipientColumn(finding.column) || finding.kind == FindingKind::ToShipWithoutRecipient))
            verdicts.refused.insert(finding.orderNumber);
        else if (finding.kind == FindingKind::AddressToCheck)
            verdicts.toCheck.insert(finding.orderNumber);
    }
    return verdicts;
}

} // namespace

ShippingDocuments CollectShippingDocuments(const TradeGrid& grid, const DocumentRows& rows,
    const QString& shop, const QDate& date, const FindingList& findings)
{
    const RecipientVerdicts verdicts = VerdictsOf(findings);
    ShippingDocuments documents;
    documents.shop = shop;
    documents.date = date;
    int first = grid.FixedRows();
    int last = grid.Rows() - 1;
    if (rows.only) {
        first = std::max(first, std::min(rows.only->first, rows.only->second));
        last = std::min(last, std::max(rows.only->first, rows.only->second));
    }

    QHash<PickKey, qsizetype> lineOfItem;
    QHash<QStringList, qsizetype> slipOfKey;
    QHash<QString, qsizetype> slipOfTrade;
    QSet<QString> pickedTrades;
    for (int row = first; row <= last; ++row) {
        if (!IsToShipStatus(CellOrEmpty(grid, row, ColStatus)))
            continue;
        const QVector<ItemRecord> items = RowItems(grid, row);
        const QStringList trades = RowTrades(grid, row, items);
        if (CellOrEmpty(grid, row, ColRecipient).isEmpty()) {
            for (const QString& trade : trades)
                if (!documents.withoutRecipient.contains(trade))
                    documents.withoutRecipient.append(trade);
            continue;
        }
        if (std::any_of(trades.cbegin(), trades.cend(),
                [&](const QString& t) { return verdicts.refused.contains(t); })) {
            for (const QString& trade : trades)
                if (!documents.recipientRefused.contains(trade))
                    documents.recipientRefused.append(trade);
            continue;
        }

        // A trade's rows always share a parcel; other rows join one by the
        // merge's key.
        qsizetype slip = -1;
        for (const QString& trade : trades)
            slip = std::max(slip, slipOfTrade.value(trade, -1));
        const QStringList key = MergeKeyTexts(grid, row);
        if (slip < 0)
            slip = slipOfKey.value(key, -1);
        if (slip < 0) {
            slip = documents.slips.size();
            documents.slips.append(SlipOfRow(grid, row));
            slipOfKey.insert(key, slip);
        }
        PackingSlip& parcel = documents.slips[slip];
        for (const QString& trade : trades) {
            parcel.addressToCheck = parcel.addressToCheck || verdicts.toCheck.contains(trade);
            slipOfTrade.insert(trade, slip);
            if (!parcel.orders.contains(trade))
                parcel.orders.append(trade);
        }
        // A trade's further item rows carry its notes again: once per trade.
        for (const TradeNotes& notes : RowNotes(grid, row, trades)) {
            const bool known = std::any_of(parcel.notes.cbegin(), parcel.notes.cend(),
                [&](const TradeNotes& kept) { return kept.order == notes.order; });
            if (!known && !notes.IsEmpty())
                parcel.notes.append(notes);
            if (!notes.message.isEmpty())
                for (const QString& trade : notes.order.split(QStringLiteral("、")))
                    documents.picking.ordersWithNotes.insert(trade);
            if (!notes.memo.isEmpty())
                for (const QString& trade : notes.order.split(QStringLiteral("、")))
                    documents.picking.memos.insert(trade, notes.memo);
        }

        for (const ItemRecord& item : items) {
            const ItemTextParts parts = SplitItemText(item.text);
            parcel.items.append({ parts.title, parts.options, item.quantity });
            const qint64 quantity = qint64(LeadingNumber(item.quantity));
            const PickKey pickKey { item.text, item.unitPrice };
            qsizetype line = lineOfItem.value(pickKey, -1);
            if (line < 0) {
                line = documents.picking.lines.size();
                documents.picking.lines.append({ parts.title, parts.options, item.unitPrice, 0, {} });
                lineOfItem.insert(pickKey, line);
            }
            PickLine& pick = documents.picking.lines[line];
            pick.quantity += quantity;
            documents.picking.totalQuantity += quantity;
            const QString trade = TradeOfOrder(item.order);
            if (!pick.orders.contains(trade))
                pick.orders.append(trade);
            pickedTrades.insert(trade);
        }
    }
    documents.picking.totalOrders = int(pickedTrades.size());
    SortPickLines(documents.picking.lines);
    return documents;
}

QString SlipsEndLine(const ShippingDocuments& documents)
{
    QStringList why;
    if (!documents.withoutRecipient.isEmpty())
        why.append(QStringLiteral("%1 笔没有收件人").arg(documents.withoutRecipient.size()));
    if (!documents.recipientRefused.isEmpty())
        why.append(QStringLiteral("%1 笔收货地址没有读准（%2）")
                       .arg(documents.recipientRefused.size())
                       .arg(documents.recipientRefused.join(QStringLiteral("、"))));
    if (why.isEmpty())
        return QString();
    return QStringLiteral("另有 %1 笔待发货的交易没有发货单：%2，请在淘宝上核对。")
        .arg(documents.withoutRecipient.size() + documents.recipientRefused.size())
        .arg(why.join(QStringLiteral("，")));
}

QStringList ShippingDocumentMessages(const ShippingDocuments& documents)
{
    QStringList messages;
    if (!documents.recipientRefused.isEmpty())
        messages.append(QStringLiteral("有 %1 笔待发货的交易收货地址没有读准，不在拣货单和发货单上：%2")
                            .arg(documents.recipientRefused.size())
                            .arg(documents.recipientRefused.join(QStringLiteral("、"))));
    if (!documents.withoutRecipient.isEmpty())
        messages.append(QStringLiteral("有 %1 笔待发货的交易没有收件人，不在拣货单和发货单上：%2")
                .arg(documents.withoutRecipient.size())
                .arg(documents.withoutRecipient.join(QStringLiteral("、"))));
    if (documents.NothingToShip())
        messages.append(QString::fromUtf8(kNothingToShipMessage));
    return messages;
}

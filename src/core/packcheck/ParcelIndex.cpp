#include "ParcelIndex.h"

#include "core/grid/GridSteps.h"
#include "core/grid/TradeGrid.h"
#include "core/trade/MergeRules.h"
#include "core/trade/OrderNumber.h"

namespace {

QStringList CellLines(const QString& cell)
{
    QStringList lines;
    for (const QString& line : cell.split(kJoinedLineBreak.toString(), Qt::SkipEmptyParts))
        if (const QString trimmed = line.trimmed(); !trimmed.isEmpty())
            lines.append(trimmed);
    return lines;
}

// The waybills of a cell: a merged row's lines, a split order's "、"-joined
// parcels; "—" stands for none.
QStringList WaybillsOf(const QString& cell)
{
    QStringList waybills;
    for (const QString& line : CellLines(cell))
        for (const QString& part : line.split(u'、', Qt::SkipEmptyParts))
            if (const QString waybill = part.trimmed(); !waybill.isEmpty() && waybill != u"—")
                waybills.append(waybill);
    return waybills;
}

} // namespace

ParcelIndex::ParcelIndex(const TradeGrid& grid, const FindingList& findings)
{
    QHash<QString, QStringList> waybillsOfTrade;
    for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
        const QStringList orders = CellLines(CellOrEmpty(grid, row, ColOrderNumber));
        const QStringList statuses = CellLines(CellOrEmpty(grid, row, ColStatus));
        const QStringList waybills = WaybillsOf(CellOrEmpty(grid, row, ColWaybill));
        for (qsizetype i = 0; i < orders.size(); ++i) {
            const QString trade = TradeOfOrder(orders[i]);
            // A merged row's statuses follow its order lines; a shorter
            // list repeats its last.
            if (!statusOfTrade_.contains(trade))
                statusOfTrade_.insert(trade, statuses.value(std::min(i, statuses.size() - 1)));
            waybillsOfTrade[trade].append(waybills);
        }
    }
    const ShippingDocuments documents = CollectShippingDocuments(grid, {}, QString(), QDate(), findings);
    parcels_.reserve(documents.slips.size());
    for (const PackingSlip& slip : documents.slips) {
        Parcel parcel;
        parcel.slip = slip;
        const int index = int(parcels_.size());
        for (const QString& trade : slip.orders) {
            parcel.morningStatuses.append(statusOfTrade_.value(trade));
            byCode_.insert(trade, index);
            for (const QString& waybill : waybillsOfTrade.value(trade))
                if (!parcel.waybills.contains(waybill))
                    parcel.waybills.append(waybill);
        }
        for (const QString& waybill : parcel.waybills)
            byCode_.insert(waybill, index);
        parcels_.append(parcel);
    }
}

std::optional<int> ParcelIndex::Find(const QString& scanned) const
{
    const QString code = ScannedCode(scanned);
    if (code.isEmpty())
        return std::nullopt;
    if (const auto found = byCode_.constFind(code); found != byCode_.cend())
        return *found;
    if (const auto found = byCode_.constFind(TradeOfOrder(code)); found != byCode_.cend())
        return *found;
    return std::nullopt;
}

std::optional<QString> ParcelIndex::StatusOffSlip(const QString& scanned) const
{
    const QString code = TradeOfOrder(ScannedCode(scanned));
    if (code.isEmpty() || byCode_.contains(code) || !statusOfTrade_.contains(code))
        return std::nullopt;
    return statusOfTrade_.value(code);
}

QString ScannedCode(const QString& typed)
{
    QString code;
    code.reserve(typed.size());
    for (const QChar c : typed)
        if (!c.isSpace() && c.category() != QChar::Other_Control && c.category() != QChar::Other_Format)
            code.append(c);
    return code;
}

#include "DetailPage.h"

#include "core/extract/AddressLine.h"
#include "core/grid/GridSteps.h"
#include "core/grid/TradeGrid.h"
#include "core/text/PieceText.h"
#include "core/text/TextHelpers.h"
#include "core/trade/ColumnTable.h"
#include "core/trade/TradeStatus.h"

#include <QRegularExpression>

namespace {

const QString kDash = QStringLiteral("—");
const QString kParcelJoin = QStringLiteral("、");

} // namespace

std::optional<RecipientBlock> FindRecipientBlock(QString pageText)
{
    StripBetween(pageText, QStringLiteral("<"), QStringLiteral(">"), QString());
    // Each cut must find its marker: a page without the section, or with a
    // label the marketplace renamed, has no block rather than its whole text
    // as one.
    for (const QString& marker : { QStringLiteral("收货和物流信息"), QStringLiteral("收货地址：") }) {
        const qsizetype at = pageText.indexOf(marker);
        if (at < 0)
            return std::nullopt;
        pageText.remove(0, at + marker.size());
    }
    const qsizetype end = pageText.indexOf(QStringLiteral("我对购买流程有意见或建议"));
    if (end < 0)
        return std::nullopt;
    pageText.truncate(end);
    pageText.remove(QStringLiteral("\r\n"));
    pageText.remove(QLatin1Char('\t'));
    CutAtMarker(pageText, QStringLiteral("查看物流信息"), false);

    // Each labelled line runs from its label to the next label (or the next
    // parcel's heading), wherever the labels stand; a missing one leaves its
    // own value missing and moves no other into its place. A page of several
    // parcels repeats the company and waybill lines: every one is kept, in
    // the page's order.
    static const QString kLabels[]
        = { QStringLiteral("运送方式："), QStringLiteral("物流公司名称："), QStringLiteral("运单号：") };
    static const QRegularExpression kParcelHeading(QStringLiteral("包裹\\s*(\\d+)"));
    QList<qsizetype> stops; // every label and parcel heading, where values end
    QList<qsizetype> labelAt[std::size(kLabels)];
    for (size_t i = 0; i < std::size(kLabels); ++i)
        for (qsizetype at = pageText.indexOf(kLabels[i]); at >= 0;
             at = pageText.indexOf(kLabels[i], at + 1)) {
            labelAt[i].append(at);
            stops.append(at);
        }
    RecipientBlock block;
    for (QRegularExpressionMatchIterator it = kParcelHeading.globalMatch(pageText); it.hasNext();) {
        const QRegularExpressionMatch heading = it.next();
        stops.append(heading.capturedStart());
        block.parcels = std::max(block.parcels, heading.captured(1).toInt());
    }
    const qsizetype firstStop
        = stops.isEmpty() ? pageText.size() : *std::min_element(stops.cbegin(), stops.cend());
    const auto valueAt = [&](qsizetype at, size_t label) {
        const qsizetype from = at + kLabels[label].size();
        qsizetype to = pageText.size();
        for (const qsizetype stop : stops)
            if (stop >= from && stop < to)
                to = stop;
        // Each parcel has its own logistics link; the last one cut the page.
        return PlainBlanks(pageText.mid(from, to - from).remove(QStringLiteral("查看物流信息")));
    };
    const auto valuesOf = [&](size_t label) {
        QStringList values;
        for (const qsizetype at : labelAt[label])
            values.append(valueAt(at, label));
        return values;
    };
    block.addressLine = PlainBlanks(pageText.left(firstStop));
    if (!labelAt[0].isEmpty())
        block.method = valueAt(labelAt[0].first(), 0);
    block.companies = valuesOf(1);
    block.waybills = valuesOf(2);
    if (!block.companies.isEmpty())
        block.company = block.companies.join(kParcelJoin);
    if (!block.waybills.isEmpty())
        block.waybill = block.waybills.join(kParcelJoin);
    block.parcels = std::max({ block.parcels, int(block.companies.size()), int(block.waybills.size()), 1 });
    return block;
}

namespace {

// The company and waybill cells of a page of several parcels: every
// parcel's waybill, "、"-joined in the page's order, and every company line
// (one line the parcels share, or one per parcel). Empty when the lines do
// not pair up with the parcels or one fails its shape: then nothing is
// written and the trade is named, rather than a waybill dropped.
std::optional<std::pair<QString, QString>> ParcelCells(const RecipientBlock& block)
{
    QStringList companies;
    QStringList waybills;
    for (QString company : block.companies)
        companies.append(company.remove(kDash));
    for (QString waybill : block.waybills)
        waybills.append(waybill.remove(kDash));
    if (waybills.size() != block.parcels || (companies.size() != 1 && companies.size() != block.parcels))
        return std::nullopt;
    for (const QString& company : companies)
        if (company.isEmpty() || !FitsShape(ColumnShape::Company, company))
            return std::nullopt;
    for (const QString& waybill : waybills)
        if (waybill.isEmpty() || !FitsShape(ColumnShape::Waybill, waybill))
            return std::nullopt;
    return std::make_pair(companies.join(kParcelJoin), waybills.join(kParcelJoin));
}

} // namespace

DetailFindings WriteRecipientColumns(
    TradeGrid& grid, int row, const RecipientBlock& block, const QString& status)
{
    DetailFindings findings;
    const auto write = [&](int col, const QString& value) { SetCellIfInside(grid, row, col, value); };
    const auto refuse = [&](int col) {
        if (!findings.refusedColumns.contains(col))
            findings.refusedColumns.append(col);
    };
    if (block.parcels > 1) {
        const auto cells = ParcelCells(block);
        write(ColCompany, cells ? cells->first : QString());
        write(ColWaybill, cells ? cells->second : QString());
        findings.parcelsUnread = !cells;
    } else {
        // Company and waybill, each by its own label; "—" stands for none.
        const QString company = block.company.value_or(QString()).remove(kDash);
        const QString waybill = block.waybill.value_or(QString()).remove(kDash);
        const bool companyFits = FitsShape(ColumnShape::Company, company);
        const bool waybillFits = FitsShape(ColumnShape::Waybill, waybill);
        write(ColCompany, companyFits ? company : QString());
        write(ColWaybill, waybillFits ? waybill : QString());
        if (!companyFits)
            refuse(ColCompany);
        if (!waybillFits)
            refuse(ColWaybill);
        findings.shippedWithoutWaybill = waybillFits && waybill.isEmpty() && IsShippedStatus(status);
    }

    const AddressReading address = ReadAddressLine(block.addressLine);
    const bool piecesRead = address.outcome != AddressReading::Outcome::Unreadable;
    const bool streetRead = address.outcome == AddressReading::Outcome::Read;
    write(ColRecipient, address.recipient);
    write(ColMobile, address.mobile);
    write(ColTelephone, address.telephone);
    write(ColProvince, address.province);
    write(ColCity, address.city);
    write(ColDistrict, address.district);
    write(ColAddress, address.address);
    write(ColPostcode, address.postcode);
    if (!piecesRead)
        refuse(ColRecipient);
    else if (!streetRead)
        refuse(ColAddress);
    findings.unreadable = !findings.refusedColumns.isEmpty();
    findings.addressToCheck = address.divisionsToCheck;
    findings.maskedMobile = piecesRead && address.maskedMobile;
    return findings;
}

#include "DetailPage.h"

#include "core/extract/AddressLine.h"
#include "core/extract/MarkupText.h"
#include "core/extract/OrderNotes.h"
#include "core/grid/GridSteps.h"
#include "core/grid/TradeGrid.h"
#include "core/text/PieceText.h"
#include "core/text/TextHelpers.h"
#include "core/trade/ColumnTable.h"
#include "core/trade/TradeStatus.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

const QString kDash = QStringLiteral("—");
const QString kParcelJoin = QStringLiteral("、");

} // namespace

namespace {

constexpr QStringView kHeading = u"收货和物流信息";
constexpr QStringView kAddressLabel = u"收货地址：";
constexpr QStringView kFeedbackLine = u"我对购买流程有意见或建议";
constexpr QStringView kLogisticsLink = u"查看物流信息";

bool IsVoidElement(QStringView name)
{
    static constexpr QStringView kVoid[] { u"br", u"img", u"input", u"hr", u"meta", u"link", u"wbr", u"col",
        u"area", u"base", u"source" };
    return std::find(std::begin(kVoid), std::end(kVoid), name) != std::end(kVoid);
}

// Stands in the section's text where an element ended.
constexpr QChar kElementEnd = QChar(0x2029);

// A label's value: the rest of the label's own element when it holds more
// than the label, or else the next element's text. A value never runs on
// into the elements after it (a line whose label was renamed, a tip).
// stray is set when other text follows the value before the next mark.
QString ElementValue(const QString& afterLabel, bool& stray)
{
    const QStringList elements = afterLabel.split(kElementEnd);
    const QString own = PlainBlanks(elements.first());
    const qsizetype used = !own.isEmpty() || elements.size() < 2 ? 0 : 1;
    for (qsizetype i = used + 1; i < elements.size(); ++i)
        stray = stray || !PlainBlanks(elements.at(i)).isEmpty();
    return PlainBlanks(elements.value(used));
}

// Where the shipping section ends: the end of the smallest element around
// its heading that also holds the address label, so the item table, the
// amount and whatever else follows the section never runs into its last
// line. A page whose elements do not close in order ends at limit.
qsizetype SectionEnd(const MarkupMask& mask, qsizetype heading, qsizetype addressLabel, qsizetype limit)
{
    auto tag = std::lower_bound(mask.tags.cbegin(), mask.tags.cend(), heading,
        [](const MarkupTag& t, qsizetype at) { return t.at < at; });
    int depth = 0;
    int lowest = 0;
    for (; tag != mask.tags.cend() && tag->at < limit; ++tag) {
        if (IsVoidElement(tag->name))
            continue;
        depth += tag->closing ? -1 : 1;
        if (depth >= lowest)
            continue;
        lowest = depth; // an element around the heading ends here
        if (tag->at > addressLabel)
            return tag->at;
    }
    return limit;
}

} // namespace

std::optional<RecipientBlock> FindRecipientBlock(QString page)
{
    // The section is looked for in the page's own text only: not in tags,
    // scripts or styles, and never in the buyer's message or the seller's
    // memo, whatever they quote ("请改收货地址：…", "查看物流信息").
    MarkupMask mask = MaskMarkup(page);
    for (const auto& [from, to] : OrderNoteSpans(page))
        std::fill(mask.mask.begin() + from, mask.mask.begin() + std::min(to, page.size()), kNotText);
    const QStringView text(mask.mask);
    // Each mark must be found: a page without the section, or with a label
    // the marketplace renamed, has no block rather than its whole text as
    // one; nor has a page cut off before the feedback line below it.
    const qsizetype heading = text.indexOf(kHeading);
    const qsizetype addressLabel = heading < 0 ? -1 : text.indexOf(kAddressLabel, heading);
    const qsizetype feedback = addressLabel < 0 ? -1 : text.indexOf(kFeedbackLine, addressLabel);
    if (feedback < 0)
        return std::nullopt;
    QString pageText = ShownText(page, mask, addressLabel + kAddressLabel.size(),
        SectionEnd(mask, heading, addressLabel, feedback), kElementEnd);
    pageText.remove(QStringLiteral("\r\n"));
    pageText.remove(QLatin1Char('\t'));

    // Each labelled line runs from its label to the next label, the next
    // parcel's heading or logistics link, wherever the labels stand; a
    // missing one leaves its own value missing and moves no other into its
    // place. A page of several parcels repeats the company and waybill
    // lines: every one is kept, in the page's order, also those after the
    // last logistics link.
    static const QString kLabels[]
        = { QStringLiteral("运送方式："), QStringLiteral("物流公司名称："), QStringLiteral("运单号：") };
    // A parcel's heading stands alone ("包裹2" as a line of its own), never
    // inside a street's text ("菜鸟驿站包裹2号柜").
    static const QRegularExpression kParcelHeading(
        QStringLiteral("(?<![^\\s\\x{3000}\\x{a0}])包裹\\s*(\\d+)(?![^\\s\\x{3000}\\x{a0}：:])"));
    QList<qsizetype> stops; // every label, parcel heading and link, where values end
    QList<qsizetype> labelAt[std::size(kLabels)];
    for (size_t i = 0; i < std::size(kLabels); ++i)
        for (qsizetype at = pageText.indexOf(kLabels[i]); at >= 0;
             at = pageText.indexOf(kLabels[i], at + 1)) {
            labelAt[i].append(at);
            stops.append(at);
        }
    int links = 0;
    for (qsizetype at = pageText.indexOf(kLogisticsLink); at >= 0;
         at = pageText.indexOf(kLogisticsLink, at + 1), ++links)
        stops.append(at);
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
        return ElementValue(pageText.mid(from, to - from), block.strayText);
    };
    const auto valuesOf = [&](size_t label) {
        QStringList values;
        for (const qsizetype at : labelAt[label])
            values.append(valueAt(at, label));
        return values;
    };
    block.addressLine = ElementValue(pageText.left(firstStop), block.strayText);
    if (!labelAt[0].isEmpty())
        block.method = valueAt(labelAt[0].first(), 0);
    block.companies = valuesOf(1);
    block.waybills = valuesOf(2);
    // One company line stands for every parcel only when it comes before
    // the first waybill and no parcel's heading or link stands between it
    // and the last: under "包裹1", or followed by a parcel's link, it is that
    // parcel's own.
    if (labelAt[1].size() == 1 && !labelAt[2].isEmpty() && labelAt[1].first() < labelAt[2].first()) {
        block.companyShared = true;
        for (const qsizetype stop : stops)
            if (stop > labelAt[1].first() && stop < labelAt[2].last() && !labelAt[2].contains(stop))
                block.companyShared = false;
    }
    if (!block.companies.isEmpty())
        block.company = block.companies.join(kParcelJoin);
    if (!block.waybills.isEmpty())
        block.waybill = block.waybills.join(kParcelJoin);
    // Each parcel has its own logistics link.
    block.parcels
        = std::max({ block.parcels, int(block.companies.size()), int(block.waybills.size()), links, 1 });
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
    // One company line shared by every parcel, unless the section holds
    // text the reader took for no line: a parcel's company line renamed.
    const bool shared = companies.size() == 1 && block.companyShared && !block.strayText;
    if (waybills.size() != block.parcels || (!shared && companies.size() != block.parcels))
        return std::nullopt;
    for (const QString& company : companies)
        if (company.isEmpty() || !FitsShape(ColumnShape::Company, company))
            return std::nullopt;
    for (const QString& waybill : waybills)
        if (waybill.isEmpty() || !FitsShape(ColumnShape::Waybill, waybill))
            return std::nullopt;
    return std::make_pair(companies.join(kParcelJoin), waybills.join(kParcelJoin));
}

// The address line with every piece that is a number typed in full-width
// characters ("１３８１２３４５６７８", "＋８６－…") in its ASCII form: the
// same number, read as one. Pieces of other text keep their characters.
QString AsciiNumberPieces(const QString& line)
{
    QString out;
    out.reserve(line.size());
    qsizetype start = 0;
    while (start <= line.size()) {
        qsizetype end = start;
        while (end < line.size() && line[end] != u'，' && line[end] != u',')
            ++end;
        QString piece = line.mid(start, end - start);
        bool wide = false;
        bool number = true;
        for (QChar& c : piece) {
            const char16_t u = c.unicode();
            if (u >= 0xFF01 && u <= 0xFF5E && QChar(char16_t(u - 0xFEE0)).isDigit()) {
                c = QChar(char16_t(u - 0xFEE0));
                wide = true;
            } else if (u == 0xFF0B || u == 0xFF0D || u == 0xFF0A) {
                c = QChar(char16_t(u - 0xFEE0));
                wide = true;
            } else if (!(c.isDigit() && u < 0x80) && c != u'+' && c != u'-' && c != u'*' && c != u' ') {
                number = false;
            }
        }
        out += wide && number ? piece : line.mid(start, end - start);
        if (end < line.size())
            out += line[end];
        start = end + 1;
    }
    return out;
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
        findings.shippedWithoutWaybill = waybillFits && waybill.isEmpty() && IsShippedStatus(status);
        // The page writes "—" for no company and no waybill: a line that
        // holds nothing at all, a waybill without its company line and a
        // company without its waybill line are lines the page no longer
        // shows as it did.
        const bool companyLineEmpty = block.company && block.company->isEmpty();
        const bool waybillLineEmpty = block.waybill && block.waybill->isEmpty();
        if (!companyFits || companyLineEmpty || (company.isEmpty() && !waybill.isEmpty()))
            refuse(ColCompany);
        // Neither line, but text in the section that is no line of it: a
        // logistics line renamed.
        const bool renamedLines = !block.company && !block.waybill && block.strayText;
        if (!waybillFits
            || (!findings.shippedWithoutWaybill
                && (waybillLineEmpty || (!block.waybill && !company.isEmpty()) || renamedLines)))
            refuse(ColWaybill);
    }

    const AddressReading address = ReadAddressLine(AsciiNumberPieces(block.addressLine));
    const bool piecesRead = address.outcome != AddressReading::Outcome::Unreadable;
    const bool streetRead = address.outcome == AddressReading::Outcome::Read;
    // Read or refuse, also for what the address reader hands back: a piece
    // that fails its column's shape (a blank the page wrote inside a name)
    // is left empty and its column named.
    const auto writeChecked = [&](int col, const QString& value) {
        const ColumnFacts* facts = FactsOfColumn(col);
        const bool fits = value.isEmpty() || !facts || FitsShape(facts->shape, value);
        write(col, fits ? value : QString());
        if (!fits)
            refuse(col);
    };
    writeChecked(ColRecipient, address.recipient);
    writeChecked(ColMobile, address.mobile);
    writeChecked(ColTelephone, address.telephone);
    writeChecked(ColProvince, address.province);
    writeChecked(ColCity, address.city);
    writeChecked(ColDistrict, address.district);
    writeChecked(ColAddress, address.address);
    writeChecked(ColPostcode, address.postcode);
    if (!piecesRead)
        refuse(ColRecipient);
    else if (!streetRead)
        refuse(ColAddress);
    findings.unreadable = !findings.refusedColumns.isEmpty();
    findings.addressToCheck = address.divisionsToCheck;
    findings.maskedMobile = piecesRead && address.maskedMobile;
    return findings;
}

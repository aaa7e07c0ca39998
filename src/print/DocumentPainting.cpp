#include "DocumentPainting.h"

#include "NotesBox.h"
#include "PageFlow.h"
#include "SlipBarcode.h"
#include "core/base/Logging.h"
#include "core/print/ShippingDocuments.h"

#include <QFontDatabase>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

namespace {

// Millimetres of the picking list's page margin and of a slip's inner one.
constexpr double kPickingMarginMm = 12;
constexpr double kA5SlipMarginMm = 8;
constexpr double kLabelSlipMarginMm = 4;

QPageSize LabelPage(SlipPaper paper)
{
    static const QPageSize large(QSizeF(100, 150), QPageSize::Millimeter, QStringLiteral("100 x 150 mm"), QPageSize::ExactMatch);
    static const QPageSize small(QSizeF(76, 130), QPageSize::Millimeter, QStringLiteral("76 x 130 mm"), QPageSize::ExactMatch);
    return paper == SlipPaper::Label76x130 ? small : large;
}

struct Surface {
    QPagedPaintDevice& device;
    QPainter* painter; // null while the pages are only counted
    double mm; // device pixels per millimetre
    QPointF origin; // the printer's offset
    const std::function<void()>& betweenPages;

    void PageBegins() const
    {
        if (betweenPages)
            betweenPages();
    }
};

void WarnWithoutFont()
{
    static const bool present = QFontDatabase::hasFamily(QString::fromLatin1(kDocumentFontFamily));
    if (!present)
        qCWarning(lcCommands) << "font" << kDocumentFontFamily << "is not installed: documents use a fallback";
}

QString DateText(const ShippingDocuments& documents)
{
    return documents.date.toString(QStringLiteral("yyyy-MM-dd"));
}

void Text(Surface& s, const QRectF& rect, const QFont& font, Qt::Alignment align, const QString& text)
{
    if (!s.painter)
        return;
    s.painter->setFont(font);
    s.painter->drawText(rect.translated(s.origin), align | Qt::AlignVCenter,
        WithPlaceholders(text, QFontMetricsF(font, &s.device)));
}

// With nothing to ship, the document is one page saying so, with its date:
// a scheduled print of today's file never prints an earlier day's pages.
int FlowNothingToShip(Surface& s, const ShippingDocuments& documents, ShippingDocument which)
{
    s.PageBegins();
    const QRectF paper = s.device.pageLayout().paintRect(QPageLayout::Millimeter);
    const QFont titleFont = DocumentFont(15, true);
    const QFont bodyFont = DocumentFont(12);
    const double titleHeight = QFontMetricsF(titleFont, &s.device).lineSpacing();
    const double margin = which == ShippingDocument::PickingList ? 0 : kLabelSlipMarginMm * s.mm;
    const QRectF top(margin, margin, paper.width() * s.mm - 2 * margin, titleHeight);
    Text(s, top, titleFont, Qt::AlignLeft, DocumentName(which));
    Text(s, top.translated(0, titleHeight), DocumentFont(9), Qt::AlignLeft,
        QStringLiteral("店铺：%1　日期：%2").arg(documents.shop, DateText(documents)));
    Text(s, top.translated(0, 3 * titleHeight), bodyFont, Qt::AlignLeft,
        QString::fromUtf8(kNothingToShipText));
    return 1;
}

// Lays the picking list out over its pages; paints when the surface has a
// painter. Returns the pages used.
int FlowPickingList(Surface& s, const ShippingDocuments& documents, int pagesInAll)
{
    const QRectF paper = s.device.pageLayout().paintRect(QPageLayout::Millimeter);
    const double width = paper.width() * s.mm;
    const double height = paper.height() * s.mm;
    const QFont titleFont = DocumentFont(15, true);
    const QFont headFont = DocumentFont(9);
    const double titleHeight = QFontMetricsF(titleFont, &s.device).lineSpacing();
    const QSet<QString>& withNotes = documents.picking.ordersWithNotes;
    // The mark's footnote takes the page's last line.
    const double footHeight
        = withNotes.isEmpty() ? 0 : QFontMetricsF(headFont, &s.device).lineSpacing() + 2 * s.mm;
    int page = 0;
    const auto newPage = [&] {
        if (page > 0 && s.painter)
            s.device.newPage();
        ++page;
        s.PageBegins();
        const QRectF top(0, 0, width, titleHeight);
        Text(s, top, titleFont, Qt::AlignLeft, QStringLiteral("拣货单"));
        Text(s, top, headFont, Qt::AlignRight,
            QStringLiteral("店铺：%1　日期：%2　第 %3 / %4 页")
                .arg(documents.shop, DateText(documents))
                .arg(page)
                .arg(pagesInAll));
        const double top2 = titleHeight + 3 * s.mm;
        if (footHeight > 0)
            Text(s, QRectF(0, height - footHeight + 2 * s.mm, width, footHeight - 2 * s.mm), headFont,
                Qt::AlignLeft, kNotesFootnote.toString());
        return QRectF(s.origin.x(), s.origin.y() + top2, width, height - top2 - footHeight);
    };
    PageFlow flow(s.painter, DocumentFont(9), s.device, newPage);
    // Two 19-digit order numbers to a line: an item of a busy day lists
    // hundreds of them, and that column decides the paper used.
    const QVector<TableColumn> columns { { 0.22 }, { 0.18 }, { 0.07, Qt::AlignRight }, { 0.06, Qt::AlignRight },
        { 0.07, Qt::AlignRight }, { 0.40 } };
    flow.SetTableHead({ QStringLiteral("宝贝"), QStringLiteral("规格"), QStringLiteral("单价"),
                          QStringLiteral("数量"), QStringLiteral("订单数"), QStringLiteral("订单编号") },
        columns);
    for (const PickLine& line : documents.picking.lines)
        flow.Row({ line.title, line.options, line.unitPrice, QString::number(line.quantity),
                     QString::number(line.orders.size()),
                     MarkedOrders(line.orders, withNotes, documents.picking.memos) },
            columns);
    flow.Row({ QStringLiteral("合计"), QString(), QString(), QString::number(documents.picking.totalQuantity),
                 QString::number(documents.picking.totalOrders), QString() },
        columns, true);
    return flow.Areas();
}

// One slip flows into slip areas: two on an A4 sheet or one per label.
// Returns the pages used.
int FlowPackingSlips(Surface& s, const ShippingDocuments& documents, SlipPaper paper)
{
    const bool a5 = paper == SlipPaper::A5;
    const QSizeF sheet = s.device.pageLayout().fullRect(QPageLayout::Millimeter).size();
    const int perPage = a5 ? 2 : 1;
    const double slipHeightMm = sheet.height() / perPage;
    const double marginMm = a5 ? kA5SlipMarginMm : kLabelSlipMarginMm;
    const QFont titleFont = DocumentFont(a5 ? 15 : 12, true);
    const QFont bodyFont = DocumentFont(a5 ? 10 : 8);
    const QFont smallFont = DocumentFont(a5 ? 9 : 7);
    const double titleHeight = QFontMetricsF(titleFont, &s.device).lineSpacing();

    int slot = -1; // areas begun on all pages
    bool continued = false;
    const PackingSlip* current = nullptr;
    const auto newArea = [&] {
        ++slot;
        if (slot > 0 && slot % perPage == 0 && s.painter)
            s.device.newPage();
        if (slot % perPage == 0)
            s.PageBegins();
        const double top = (slot % perPage) * slipHeightMm * s.mm;
        if (s.painter && a5 && slot % perPage == 1) {
            // Where the sheet is cut in two.
            s.painter->save();
            s.painter->setPen(Qt::DashLine);
            s.painter->drawLine(QPointF(0, top) + s.origin, QPointF(sheet.width() * s.mm, top) + s.origin);
            s.painter->restore();
        }
        const QRectF inner(marginMm * s.mm, top + marginMm * s.mm, (sheet.width() - 2 * marginMm) * s.mm,
            (slipHeightMm - 2 * marginMm) * s.mm);
        const QRectF titleRect(inner.left(), inner.top(), inner.width(), titleHeight);
        Text(s, titleRect, titleFont, Qt::AlignLeft,
            continued ? QStringLiteral("发货单（续）") : QStringLiteral("发货单"));
        Text(s, titleRect, smallFont, Qt::AlignRight,
            QStringLiteral("%1　%2").arg(documents.shop, DateText(documents)));
        double below = titleHeight + 2 * s.mm;
        if (continued && current) {
            // The half read on its own still says whose parcel it is.
            const QFontMetricsF metrics(smallFont, &s.device);
            const QString whose = QStringLiteral("收件人：%1　订单编号：%2")
                                      .arg(current->recipient, current->orders.join(QStringLiteral("、")));
            for (const QString& line : WrapText(WithPlaceholders(whose, metrics), metrics, inner.width())) {
                Text(s, QRectF(inner.left(), inner.top() + below, inner.width(), metrics.lineSpacing()),
                    smallFont, Qt::AlignLeft, line);
                below += metrics.lineSpacing();
            }
            below += 1 * s.mm;
        }
        continued = true;
        return inner.adjusted(0, below, 0, 0).translated(s.origin);
    };
    PageFlow flow(s.painter, bodyFont, s.device, newArea);
    const QVector<TableColumn> columns { { 0.50 }, { 0.38 }, { 0.12, Qt::AlignRight } };
    QFont strong = bodyFont;
    strong.setBold(true);
    for (const PackingSlip& slip : documents.slips) {
        continued = false;
        current = &slip;
        flow.Break();
        QString who = QStringLiteral("收件人：%1").arg(slip.recipient);
        if (!slip.mobile.isEmpty())
            who += QStringLiteral("　手机：%1").arg(slip.mobile);
        if (!slip.telephone.isEmpty())
            who += QStringLiteral("　电话：%1").arg(slip.telephone);
        flow.Paragraph(who, &strong);
        QString where = QStringLiteral("地址：%1 %2 %3 %4").arg(slip.province, slip.city, slip.district, slip.address);
        if (!slip.postcode.isEmpty())
            where += QStringLiteral("　邮编：%1").arg(slip.postcode);
        flow.Paragraph(where);
        if (slip.addressToCheck)
            flow.Paragraph(QStringLiteral("请核对地址"), &strong);
        PaintSlipBarcode(flow, slip.orders.value(0), s.mm, a5 ? kA5BarcodeHeightMm : kLabelBarcodeHeightMm);
        flow.Space(flow.LineHeight() * 0.5);
        flow.SetTableHead({ QStringLiteral("宝贝"), QStringLiteral("规格"), QStringLiteral("数量") }, columns);
        for (const SlipItem& item : slip.items)
            flow.Row({ item.title, item.options, item.quantity }, columns);
        flow.EndTable();
        PaintSlipNotes(flow, slip, documents.memoOnSlips);
        flow.Space(flow.LineHeight() * 0.5);
        flow.Paragraph(QStringLiteral("订单编号：%1").arg(slip.orders.join(QStringLiteral("、"))), &smallFont);
    }
    if (const QString endLine = SlipsEndLine(documents); !endLine.isEmpty() && !documents.slips.isEmpty()) {
        flow.Space(flow.LineHeight() * 0.5);
        flow.Paragraph(endLine, &smallFont);
    }
    return slot < 0 ? 0 : slot / perPage + 1;
}

} // namespace

void SetUpDocumentPages(QPagedPaintDevice& device, ShippingDocument which, SlipPaper paper)
{
    if (which == ShippingDocument::PickingList) {
        device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
            QMarginsF(kPickingMarginMm, kPickingMarginMm, kPickingMarginMm, kPickingMarginMm),
            QPageLayout::Millimeter));
        return;
    }
    const QPageSize size = paper == SlipPaper::A5 ? QPageSize(QPageSize::A4) : LabelPage(paper);
    device.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter));
}

int PaintShippingDocument(QPagedPaintDevice& device, const ShippingDocuments& documents, ShippingDocument which,
    SlipPaper paper, QPointF offsetMm, const std::function<void()>& betweenPages)
{
    WarnWithoutFont();
    const double mm = device.logicalDpiY() / 25.4;
    Surface counting { device, nullptr, mm, offsetMm * mm, betweenPages };
    const bool nothing = documents.NothingToShip();
    const int pages = nothing                    ? 1
        : which == ShippingDocument::PickingList ? FlowPickingList(counting, documents, 0)
                                                 : FlowPackingSlips(counting, documents, paper);
    QPainter painter;
    if (!painter.begin(&device)) {
        qCWarning(lcCommands) << "the painter could not begin on the document's device";
        return 0;
    }
    painter.setPen(QPen(Qt::black, mm * 0.2));
    Surface painting { device, &painter, mm, offsetMm * mm, betweenPages };
    if (nothing)
        FlowNothingToShip(painting, documents, which);
    else if (which == ShippingDocument::PickingList)
        FlowPickingList(painting, documents, pages);
    else
        FlowPackingSlips(painting, documents, paper);
    // A printer may refuse the job only at its end (a queue that went away,
    // a spool file that could not be written): then nothing was printed.
    if (!painter.end()) {
        qCWarning(lcCommands) << "the document's device did not take the pages";
        return 0;
    }
    return pages;
}

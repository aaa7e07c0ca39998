#include "support/PdfReading.h"
#include "support/TestSupport.h"

#include "core/print/ShippingDocuments.h"
#include "core/grid/GridSetup.h"
#include "core/grid/ItemRecord.h"
#include "core/grid/NoteRecord.h"
#include "core/grid/TradeGrid.h"
#include "core/settings/Settings.h"
#include "gui/print/DocumentPreview.h"
#include "print/PageFlow.h"
#include "print/PdfDocumentPrinter.h"
#include "print/SlipBarcode.h"

#include "core/settings/SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>

#include <QTemporaryDir>

namespace {

// Three parcels; the second holds 40 items, more than one slip holds. With
// "emoji", the first title holds emoji (one with a skin tone) and a
// character no font has; with "nothing", there is nothing to ship.
ShippingDocuments Documents(const QString& kind = QString())
{
    TradeGrid grid;
    SetUpTradeGrid(grid);
    const auto add = [&](const QString& order, const QString& recipient, const QString& text) {
        const int row = grid.Rows();
        grid.SetRows(row + 1);
        grid.SetTextMatrix(row, ColOrderNumber, order);
        grid.SetTextMatrix(row, ColStatus, QStringLiteral("买家已付款"));
        grid.SetTextMatrix(row, ColRecipient, recipient);
        grid.SetTextMatrix(row, ColProvince, QStringLiteral("浙江省"));
        grid.SetTextMatrix(row, ColAddress, QStringLiteral("文三路 478 号"));
        grid.SetTextMatrix(row, ColItemRecord, ItemRecordLine({ order, QStringLiteral("89.00"), QStringLiteral("2"), text }));
    };
    if (kind == u"nothing")
        return CollectShippingDocuments(grid, {}, QStringLiteral("小店"), QDate(2026, 12, 7));
    add(QStringLiteral("1001"), QStringLiteral("张三"),
        kind == u"emoji"
            ? QStringLiteral("😀爆款👍🏻连衣裙\U000F0001 颜色分类：白色 尺码：M")
            : QStringLiteral("2024新款 碎花连衣裙 颜色分类：白色 尺码：M"));
    for (int i = 0; i < 40; ++i)
        add(QStringLiteral("1002_%1").arg(i), QStringLiteral("李四"), QStringLiteral("天然竹制砧板 规格：%1号").arg(i));
    add(QStringLiteral("1003"), QStringLiteral("王五"), QStringLiteral("真丝印花围巾"));
    WriteRowNotes(grid, grid.Rows() - 1,
        { QStringLiteral("1003"), QStringLiteral("请发顺丰<b>&\r\n周末不在\U0001F381"), QStringLiteral("送小样两份") });
    ShippingDocuments documents
        = CollectShippingDocuments(grid, {}, QStringLiteral("小店"), QDate(2026, 12, 7));
    documents.memoOnSlips = kind == u"memo on slips";
    return documents;
}

// Parcels of marketplace-length order numbers: one trade; two trades of
// one recipient with 30 items, more than a label holds; one trade.
ShippingDocuments ParcelsOfLongNumbers()
{
    TradeGrid grid;
    SetUpTradeGrid(grid);
    const auto add = [&](const QString& order, const QString& recipient, int items) {
        for (int i = 0; i < items; ++i) {
            const int row = grid.Rows();
            const QString rowOrder = i == 0 ? order : QStringLiteral("%1_%2").arg(order).arg(i);
            grid.SetRows(row + 1);
            grid.SetTextMatrix(row, ColOrderNumber, rowOrder);
            grid.SetTextMatrix(row, ColStatus, QStringLiteral("等待卖家发货"));
            grid.SetTextMatrix(row, ColRecipient, recipient);
            grid.SetTextMatrix(row, ColProvince, QStringLiteral("浙江省"));
            grid.SetTextMatrix(row, ColAddress, QStringLiteral("文三路 478 号华星科技大厦 12 楼 1201 室"));
            grid.SetTextMatrix(row, ColItemRecord,
                ItemRecordLine({ rowOrder, QStringLiteral("9.90"), QStringLiteral("1"), QStringLiteral("发圈 %1").arg(i) }));
        }
    };
    add(QStringLiteral("3925471068813927514"), QStringLiteral("张三"), 1);
    add(QStringLiteral("3925471068813927515"), QStringLiteral("李四"), 15);
    add(QStringLiteral("3925471068813927516"), QStringLiteral("李四"), 15);
    add(QStringLiteral("417730295588"), QStringLiteral("王五"), 2);
    return CollectShippingDocuments(grid, {}, QStringLiteral("小店"), QDate(2026, 12, 7));
}

} // namespace

class TestDocumentPdf : public QObject {
    Q_OBJECT
private slots:
    void writesPagesOfThePaperSetWithTheFontEmbedded_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("document");
        QTest::addColumn<int>("paper");
        QTest::addColumn<QString>("pageSize"); // in points, as pdfinfo gives it
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("absent"); // empty: nothing to miss
        QTest::newRow("picking list") << "" << int(ShippingDocument::PickingList) << int(SlipPaper::A5)
                                      << "595(\\.\\d+)? x 842" << 2 << "碎花连衣裙颜色分类:白色尺码:M89.0021"
                                      << "";
        // The memo is the packer's: beside its order on the picking list.
        QTest::newRow("picking list with the memo beside its order")
            << "" << int(ShippingDocument::PickingList) << int(SlipPaper::A5) << "595(\\.\\d+)? x 842" << 2
            << "真丝印花围巾89.00211003※(卖家备注:送小样两份)"
            << "";
        // Three slips, the second going on in two more: five halves of A4.
        QTest::newRow("A5 slips") << "" << int(ShippingDocument::PackingSlips) << int(SlipPaper::A5)
                                  << "595(\\.\\d+)? x 842" << 3
                                  << "收件人:张三地址:浙江省文三路478号宝贝规格数量"
                                  << "";
        QTest::newRow("A5 slip with notes")
            << "" << int(ShippingDocument::PackingSlips) << int(SlipPaper::A5) << "595(\\.\\d+)? x 842"
            << 3
            // The emoji is drawn from a font that has it, which
            // gives pdftotext no text for it.
            << "买家留言:请发顺丰<b>&周末不在"
            << "卖家备注";
        // The slip goes into the parcel: the seller's memo only when asked.
        QTest::newRow("A5 slip with the memo asked for")
            << "memo on slips" << int(ShippingDocument::PackingSlips) << int(SlipPaper::A5)
            << "595(\\.\\d+)? x 842" << 3 << "买家留言:请发顺丰<b>&周末不在卖家备注:送小样两份"
            << "";
        // A continuation still says whose parcel it is.
        QTest::newRow("label slips") << "" << int(ShippingDocument::PackingSlips)
                                     << int(SlipPaper::Label100x150) << "283(\\.\\d+)? x 425" << -1
                                     << "发货单(续)小店2026-12-07收件人:李四订单编号:1002"
                                     << "";
        QTest::newRow("small label slips") << "" << int(ShippingDocument::PackingSlips)
                                           << int(SlipPaper::Label76x130) << "215(\\.\\d+)? x 36[89]" << -1
                                           << "发货单(续)小店2026-12-07收件人:李四订单编号:1002" << "";
        // Today's file never keeps an earlier day's pages.
        QTest::newRow("nothing to ship")
            << "nothing" << int(ShippingDocument::PickingList) << int(SlipPaper::A5) << "595(\\.\\d+)? x 842"
            << 1 << "拣货单店铺:小店日期:2026-12-07没有待发货的交易"
            << "";
        QTest::newRow("nothing to ship on labels")
            << "nothing" << int(ShippingDocument::PackingSlips) << int(SlipPaper::Label100x150)
            << "283(\\.\\d+)? x 425" << 1 << "发货单店铺:小店日期:2026-12-07没有待发货的交易"
            << "";
        // Emoji from the fallback font (poppler reads no text back for
        // them); a character no font has as "?".
        QTest::newRow("emoji title") << "emoji" << int(ShippingDocument::PickingList) << int(SlipPaper::A5)
                                     << "595(\\.\\d+)? x 842" << 2 << "爆款连衣裙?颜色分类:白色"
                                     << "";
    }

    void writesPagesOfThePaperSetWithTheFontEmbedded()
    {
        QFETCH(QString, kind);
        QFETCH(int, document);
        QFETCH(int, paper);
        QFETCH(QString, pageSize);
        QFETCH(int, pages);
        QFETCH(QString, text);
        QFETCH(QString, absent);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.pdf"));
        QVERIFY(testsupport::WriteFile(path, "yesterday's pages"));
        PdfDocumentPrinter printer;
        const DocumentWritten written
            = printer.WritePdf(Documents(kind), ShippingDocument(document), SlipPaper(paper), path);
        QVERIFY2(written.IsWritten(), qPrintable(written.toTell));
        const QString info = testsupport::PdfTool(QStringLiteral("pdfinfo"), { path });
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page size: +") + pageSize)), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("Pages:           %1\n").arg(written.pages)), qPrintable(info));
        if (pages > 0)
            QCOMPARE(written.pages, pages);
        else
            QVERIFY(written.pages > 3);
        QVERIFY(testsupport::FontsEmbedded(path));
        const QString drawn = testsupport::PdfText(path);
        QVERIFY2(drawn.contains(text), qPrintable(drawn));
        QVERIFY2(absent.isEmpty() || !drawn.contains(absent), qPrintable(drawn));
        QVERIFY2(!drawn.contains(QChar::ReplacementCharacter), qPrintable(drawn));
        const QString fonts = testsupport::PdfTool(QStringLiteral("pdffonts"), { path });
        // The fallback font only where a page needs it: the emoji title, and
        // the slip whose buyer's message ends in one.
        const bool slipsWithNotes
            = document == int(ShippingDocument::PackingSlips) && (kind.isEmpty() || kind == u"memo on slips");
        QCOMPARE(fonts.contains(QStringLiteral("Symbola")), kind == u"emoji" || slipsWithNotes);
    }

    // A scanner at the packing bench reads each parcel's first order number
    // back from the printed page, once per parcel: a slip's continuation has
    // no barcode of its own.
    void slipBarcodesScanBack_data()
    {
        QTest::addColumn<int>("paper");
        QTest::addColumn<int>("dotsPerInch");
        QTest::newRow("A5, laser printer") << int(SlipPaper::A5) << 300;
        QTest::newRow("100 x 150 label") << int(SlipPaper::Label100x150) << 203;
        QTest::newRow("76 x 130 label") << int(SlipPaper::Label76x130) << 203;
    }
    void slipBarcodesScanBack()
    {
        QFETCH(int, paper);
        QFETCH(int, dotsPerInch);
        const ShippingDocuments documents = ParcelsOfLongNumbers();
        QCOMPARE(documents.slips.size(), 3);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("slips.pdf"));
        PdfDocumentPrinter printer;
        const DocumentWritten written
            = printer.WritePdf(documents, ShippingDocument::PackingSlips, SlipPaper(paper), path);
        QVERIFY2(written.IsWritten(), qPrintable(written.toTell));
        QStringList scanned = testsupport::ScannedBarcodes(path, dotsPerInch);
        scanned.sort();
        QCOMPARE(scanned,
            QStringList({ "3925471068813927514", "3925471068813927515", "417730295588" }));
    }

    // The bars fill whole printer dots and leave the quiet zones free; a
    // slip too narrow for the symbol gets none rather than one too fine.
    void barcodeModulesFitTheSlip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("widthMm");
        QTest::addColumn<double>("moduleMm");
        QTest::newRow("19 digits on a 76 mm label") << "3925471068813927514" << 68.0 << 0.375;
        QTest::newRow("19 digits on A5") << "3925471068813927514" << 194.0 << 0.5;
        QTest::newRow("too narrow") << "3925471068813927514" << 40.0 << 0.0;
        QTest::newRow("underscore and letters") << "1002_A" << 68.0 << 0.5;
    }
    void barcodeModulesFitTheSlip()
    {
        QFETCH(QString, text);
        QFETCH(double, widthMm);
        QFETCH(double, moduleMm);
        const BarcodeBars bars = Code128Bars(text);
        QVERIFY2(bars.error.isEmpty(), qPrintable(bars.error));
        QVERIFY(!bars.IsEmpty());
        QCOMPARE(ModuleWidthMm(bars.modules, widthMm), moduleMm);
        if (moduleMm > 0)
            QVERIFY((bars.modules + 2 * kQuietZoneModules) * moduleMm <= widthMm);
        // Code128 begins and ends with a bar.
        QCOMPARE(bars.bars.first().left, 0.0);
        QCOMPARE(bars.bars.last().left + bars.bars.last().width, double(bars.modules));
    }

    void barcodeRefusesTextCode128CannotHold()
    {
        QVERIFY(Code128Bars(QString()).IsEmpty());
        const BarcodeBars chinese = Code128Bars(QStringLiteral("订单1002"));
        QVERIFY(chinese.IsEmpty());
        QVERIFY(!chinese.error.isEmpty());
    }

    // A line breaks between characters, never inside one: an emoji is two
    // UTF-16 units, with a skin tone or a variation selector more.
    void wrapsBetweenCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("widest"); // the column is one and a half of it wide
        QTest::addColumn<int>("lines"); // -1: as the glyphs' widths come
        QTest::newRow("emoji") << "😀😀😀😀"
                               << "😀" << 4;
        QTest::newRow("skin tone and selector") << "👍🏻👍🏻❤️❤️"
                                                << "👍🏻" << -1;
        QTest::newRow("a word too long, cut") << "AAAAAAAAAAAA"
                                              << "AA" << -1;
    }
    void wrapsBetweenCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QString, widest);
        QFETCH(int, lines);
        QPdfWriter device(QStringLiteral("/dev/null"));
        const QFontMetricsF metrics(DocumentFont(9), &device);
        const double width = metrics.horizontalAdvance(widest) * 1.5;
        const QStringList wrapped = WrapText(text, metrics, width);
        QCOMPARE(wrapped.join(QString()), text);
        if (lines >= 0)
            QCOMPARE(wrapped.size(), lines);
        QVERIFY(wrapped.size() > 1);
        for (const QString& line : wrapped) {
            QVERIFY2(!line.front().isLowSurrogate() && !line.back().isHighSurrogate(), qPrintable(line));
            QVERIFY(!line.front().isMark() && line.front() != QChar(0xFE0F));
            QVERIFY(line.size() <= 2 || metrics.horizontalAdvance(line) <= width + 0.01);
        }
    }

    // The window's preview paints the same pages and closes again.
    void previewShowsThePages()
    {
        int pages = 0;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            auto* preview = dialog ? dialog->findChild<QPrintPreviewWidget*>() : nullptr;
            if (preview && preview->pageCount() > 0) {
                pages = preview->pageCount();
                dialog->reject();
            }
        });
        poll.start(20);
        Settings settings = Settings::Read();
        ShowDocumentPreview(nullptr, Documents(), ShippingDocument::PackingSlips, settings);
        QCOMPARE(pages, 3);
    }

    // 保存为PDF starts in the export folder with the sheet's date form, and
    // says where the file went.
    void savingAPdfSaysWhere()
    {
        QTemporaryDir dir;
        testsupport::StoreSetting(QString::fromLatin1(Settings::kExportFolder), dir.path());
        Settings settings = Settings::Read();
        const QString expected = QDir(dir.path()).filePath(QStringLiteral("拣货单-2026-12-07.pdf"));
        QString offered;
        QString told;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                told = box->text();
                box->accept();
            } else if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && offered.isEmpty()) {
                offered = dialog->selectedFiles().value(0);
                static_cast<QDialog*>(dialog)->accept();
            }
        });
        poll.start(20);
        const QString written
            = SaveDocumentPdf(nullptr, Documents(), ShippingDocument::PickingList, SlipPaper::A5, settings);
        QCOMPARE(offered, expected);
        QCOMPARE(written, expected);
        QVERIFY(QFileInfo(expected).size() > 0);
        QCOMPARE(
            told, QStringLiteral("拣货单已保存为PDF（2 页）：\n%1").arg(QDir::toNativeSeparators(expected)));
        QCOMPARE(Settings::Read().ExportFolder(), QFileInfo(expected).absolutePath());
    }

    void aFileThatCannotBeWrittenLeavesTheOldOne()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("old.pdf"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("earlier") == 7);
        old.close();
        PdfDocumentPrinter printer;
        const DocumentWritten refused = printer.WritePdf(
            Documents(), ShippingDocument::PickingList, SlipPaper::A5, path + QStringLiteral("/inside.pdf"));
        QCOMPARE(refused.status, DocumentStatus::Refused);
        QCOMPARE(
            refused.toTell, QStringLiteral("无法保存：%1 所在的位置不是文件夹。").arg(path + "/inside.pdf"));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("earlier"));
    }
};

LUMETRA_TEST_MAIN(TestDocumentPdf)
#include "TestDocumentPdf.moc"

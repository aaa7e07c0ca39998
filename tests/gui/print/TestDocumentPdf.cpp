#include "support/PdfReading.h"
#include "support/TestSupport.h"

#include "core/documents/ShippingDocuments.h"
#include "core/grid/GridSetup.h"
#include "core/grid/ItemRecord.h"
#include "core/grid/NoteRecord.h"
#include "core/grid/TradeGrid.h"
#include "core/settings/Settings.h"
#include "gui/print/DocumentPreview.h"
#include "print/PdfDocumentPrinter.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>

#include <QTemporaryDir>

namespace {

// Three parcels; the second holds 40 items, more than one slip holds.
ShippingDocuments Documents()
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
    add(QStringLiteral("1001"), QStringLiteral("张三"), QStringLiteral("2024新款 碎花连衣裙 颜色分类：白色 尺码：M"));
    for (int i = 0; i < 40; ++i)
        add(QStringLiteral("1002_%1").arg(i), QStringLiteral("李四"), QStringLiteral("天然竹制砧板 规格：%1号").arg(i));
    add(QStringLiteral("1003"), QStringLiteral("王五"), QStringLiteral("真丝印花围巾"));
    WriteRowNotes(grid, grid.Rows() - 1,
        { QStringLiteral("1003"), QStringLiteral("请发顺丰<b>&\r\n周末不在\U0001F381"), QStringLiteral("送小样两份") });
    return CollectShippingDocuments(grid, {}, QStringLiteral("小店"), QDate(2026, 12, 7));
}

} // namespace

class TestDocumentPdf : public QObject {
    Q_OBJECT
private slots:
    void writesPagesOfThePaperSetWithTheFontEmbedded_data()
    {
        QTest::addColumn<int>("document");
        QTest::addColumn<int>("paper");
        QTest::addColumn<QString>("pageSize"); // in points, as pdfinfo gives it
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("text");
        QTest::newRow("picking list") << int(ShippingDocument::PickingList) << int(SlipPaper::A5)
                                      << "595(\\.\\d+)? x 842" << 2 << "碎花连衣裙颜色分类:白色尺码:M89.0021";
        // Three slips, the second going on in two more: five halves of A4.
        QTest::newRow("A5 slips") << int(ShippingDocument::PackingSlips) << int(SlipPaper::A5)
                                  << "595(\\.\\d+)? x 842" << 3 << "收件人:张三地址:浙江省文三路478号宝贝规格数量";
        QTest::newRow("A5 slip with notes") << int(ShippingDocument::PackingSlips) << int(SlipPaper::A5)
                                            << "595(\\.\\d+)? x 842" << 3
                                            // The emoji is drawn from a font that has it, which
                                            // gives pdftotext no text for it.
                                            << "买家留言:请发顺丰<b>&周末不在卖家备注:送小样两份";
        QTest::newRow("label slips") << int(ShippingDocument::PackingSlips) << int(SlipPaper::Label100x150)
                                     << "283(\\.\\d+)? x 425" << -1 << "发货单(续)";
    }

    void writesPagesOfThePaperSetWithTheFontEmbedded()
    {
        QFETCH(int, document);
        QFETCH(int, paper);
        QFETCH(QString, pageSize);
        QFETCH(int, pages);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.pdf"));
        PdfDocumentPrinter printer;
        const DocumentWritten written
            = printer.WritePdf(Documents(), ShippingDocument(document), SlipPaper(paper), path);
        QVERIFY2(written.ok, qPrintable(written.reason));
        const QString info = testsupport::PdfTool(QStringLiteral("pdfinfo"), { path });
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page size: +") + pageSize)), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("Pages:           %1\n").arg(written.pages)), qPrintable(info));
        if (pages > 0)
            QCOMPARE(written.pages, pages);
        else
            QVERIFY(written.pages > 3);
        QVERIFY(testsupport::FontsEmbedded(path));
        const QString drawn = testsupport::PdfText(path);
        QVERIFY2(drawn.contains(text), qPrintable(drawn.right(300)));
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
        ShowDocumentPreview(nullptr, Documents(), ShippingDocument::PackingSlips, Settings::Read());
        QCOMPARE(pages, 3);
    }

    void aFileThatCannotBeWrittenLeavesTheOldOne()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("old.pdf"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("earlier") == 7);
        old.close();
        PdfDocumentPrinter printer;
        ShippingDocuments nothing;
        const DocumentWritten empty = printer.WritePdf(nothing, ShippingDocument::PickingList, SlipPaper::A5, path);
        QVERIFY(!empty.ok && !empty.reason.isEmpty());
        const DocumentWritten refused = printer.WritePdf(
            Documents(), ShippingDocument::PickingList, SlipPaper::A5, path + QStringLiteral("/inside.pdf"));
        QVERIFY(!refused.ok && !refused.reason.isEmpty());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("earlier"));
    }
};

LUMETRA_TEST_MAIN(TestDocumentPdf)
#include "TestDocumentPdf.moc"

#include "support/TestSupport.h"

#include "core/grid/GridSetup.h"
#include "core/grid/ItemRecord.h"
#include "core/grid/NoteRecord.h"
#include "core/grid/TradeGrid.h"
#include "core/packcheck/ParcelMarks.h"
#include "core/packcheck/PrintedSlips.h"
#include "core/network/PageFetchJob.h"
#include "core/network/PageFetcher.h"
#include "core/trade/Finding.h"
#include "gui/packcheck/PackCheckWindow.h"
#include "gui/packcheck/PrintedSlipsQuestion.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

namespace {

void AddParcel(TradeGrid& grid, const QString& order)
{
    const int row = grid.Rows();
    grid.SetRows(row + 1);
    grid.SetTextMatrix(row, ColOrderNumber, order);
    grid.SetTextMatrix(row, ColStatus, QStringLiteral("买家已付款"));
    grid.SetTextMatrix(row, ColRecipient, QStringLiteral("收件人%1").arg(order));
    grid.SetTextMatrix(row, ColProvince, QStringLiteral("浙江省"));
    grid.SetTextMatrix(row, ColAddress, QStringLiteral("文三路 478 号"));
    grid.SetTextMatrix(row, ColItemRecord,
        ItemRecordLine({ order, QStringLiteral("59.00"), QStringLiteral("3"),
            QStringLiteral("真丝围巾 颜色分类：藏青") }));
}

// Three parcels to ship: 2001 with a message and a memo, 2002 and 2003.
void FillGrid(TradeGrid& grid)
{
    SetUpTradeGrid(grid);
    for (const char* order : { "2001", "2002", "2003" })
        AddParcel(grid, QString::fromLatin1(order));
    WriteRowNotes(grid, grid.FixedRows(),
        { QStringLiteral("2001"), QStringLiteral("不要放发票"), QStringLiteral("送小样") });
}

// Clicks the button of the question box that opens next whose text starts
// with caption; records the question.
void AnswerNextBox(const QString& caption, QString* question)
{
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return AnswerNextBox(caption, question);
        *question = box->text();
        for (QAbstractButton* button : box->buttons())
            if (button->text().startsWith(caption))
                return button->click();
        box->reject();
    });
}

} // namespace

class TestPackCheckWindow : public QObject {
    Q_OBJECT
private slots:
    // The window shows the parcel big, the notes framed, keeps the input's
    // focus, and answers from the fetched page.
    void showsTheScannedParcel_data()
    {
        QTest::addColumn<QString>("page"); // "" for a fetch that failed
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QString>("status"); // as the trades line gives it
        // clang-format off
        QTest::newRow("to ship") << "<span>交易状态：买家已付款</span>" << "可以发货" << "买家已付款";
        QTest::newRow("closed") << "<span>交易状态：交易关闭</span>" << "交易已关闭，不要发货" << "交易关闭";
        QTest::newRow("no page") << "" << "无法核对状态\n早上的状态：买家已付款" << "未能核对";
        // clang-format on
    }
    void showsTheScannedParcel()
    {
        QFETCH(QString, page);
        QFETCH(QString, verdict);
        QFETCH(QString, status);
        TradeGrid grid;
        FillGrid(grid);
        const FindingList findings;
        PageFetcher fetcher;
        fetcher.UseStandIn([&](const QString&, const QString&, int) {
            return page.isEmpty() ? FetchResult {} : FetchResult { FetchStatus::Arrived, page };
        });
        QTemporaryDir dir;
        Endpoints endpoints;
        endpoints.tradeBase = QStringLiteral("http://127.0.0.1:9");
        PackCheckWindow window(
            { [&]() -> const TradeGrid& { return grid; }, [&]() -> const FindingList& { return findings; } },
            fetcher, endpoints, dir.filePath(QStringLiteral("marks.json")));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* input = window.findChild<QLineEdit*>(QStringLiteral("scan"));
        const auto label
            = [&](const char* name) { return window.findChild<QLabel*>(QString::fromLatin1(name))->text(); };
        QCOMPARE(label("counts"), QStringLiteral("已验 0 / 待验 3"));
        QSignalSpy answered(&window, &PackCheckWindow::Answered);
        QTest::keyClicks(input, QStringLiteral("2001"));
        QTest::keyClick(input, Qt::Key_Return);
        QVERIFY(answered.wait(5000));
        QCOMPARE(label("verdict"), verdict);
        QCOMPARE(label("trades"), QStringLiteral("本包裹 1 笔交易：2001（%1）").arg(status));
        QCOMPARE(label("items"), QStringLiteral("真丝围巾　颜色分类：藏青　× 3"));
        QCOMPARE(label("notes"), QStringLiteral("买家留言：不要放发票\n卖家备注：送小样"));
        QVERIFY(window.findChild<QLabel*>(QStringLiteral("notes"))->parentWidget()->isVisible());
        QCOMPARE(label("counts"), QStringLiteral("已验 1 / 待验 2"));
        QVERIFY(input->text().isEmpty());
        QVERIFY(input->hasFocus());
        // A parcel without notes shows no frame.
        QTest::keyClicks(input, QStringLiteral("2002"));
        QTest::keyClick(input, Qt::Key_Return);
        QVERIFY(answered.wait(5000));
        QVERIFY(!window.findChild<QLabel*>(QStringLiteral("notes"))->parentWidget()->isVisible());
        // A parcel the grid gained while the window was open is found.
        AddParcel(grid, QStringLiteral("2004"));
        QTest::keyClicks(input, QStringLiteral("2004"));
        QTest::keyClick(input, Qt::Key_Return);
        QVERIFY(answered.wait(5000));
        QCOMPARE(label("counts"), QStringLiteral("已验 3 / 待验 1"));
    }

    // Printing the slips again asks about those printed before.
    void printingAgainAsksAboutPrintedSlips_data()
    {
        QTest::addColumn<QStringList>("printedBefore");
        QTest::addColumn<QString>("answer"); // the button's caption's start; "" for no question
        QTest::addColumn<QStringList>("previewed"); // "-" for no preview
        QTest::newRow("none printed") << QStringList {} << "" << QStringList { "2001", "2002", "2003" };
        QTest::newRow("only the others")
            << QStringList { "2002" } << "只打印其余 2 张" << QStringList { "2001", "2003" };
        QTest::newRow("all again") << QStringList { "2002" } << "全部打印"
                                   << QStringList { "2001", "2002", "2003" };
        QTest::newRow("cancelled") << QStringList { "2002" } << "取消" << QStringList { "-" };
        QTest::newRow("every one printed")
            << QStringList { "2001", "2002", "2003" } << "全部打印" << QStringList { "2001", "2002", "2003" };
    }
    void printingAgainAsksAboutPrintedSlips()
    {
        QFETCH(QStringList, printedBefore);
        QFETCH(QString, answer);
        QFETCH(QStringList, previewed);
        TradeGrid grid;
        FillGrid(grid);
        const ShippingDocuments documents
            = CollectShippingDocuments(grid, {}, QStringLiteral("小店"), QDate(2026, 12, 8));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("marks.json"));
        ParcelMarks marks(path);
        QCOMPARE(marks.Mark(ParcelMark::Printed, printedBefore, QDateTime::currentDateTime()),
            MarksWrite::Written);
        QString question;
        if (!answer.isEmpty())
            AnswerNextBox(answer, &question);
        QStringList shown { "-" };
        PreviewSlipsRemembered(nullptr, documents, marks, [&](const ShippingDocuments& slips) {
            shown = SlipKeys(slips);
            return true;
        });
        QCOMPARE(shown, previewed);
        QCOMPARE(question,
            answer.isEmpty() ? QString()
                             : QStringLiteral("其中 %1 张发货单已经打印过").arg(printedBefore.size()));
        // What was printed is remembered, also by the next run.
        const QStringList expected
            = previewed == QStringList { "-" } ? printedBefore : QStringList { "2001", "2002", "2003" };
        QCOMPARE(ParcelMarks(path).Marked(ParcelMark::Printed, { "2001", "2002", "2003" }), expected);
    }
};

LUMETRA_TEST_MAIN(TestPackCheckWindow)
#include "TestPackCheckWindow.moc"

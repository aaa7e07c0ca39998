#include "support/TestSupport.h"

#include "core/grid/GridSetup.h"
#include "core/grid/ItemRecord.h"
#include "core/grid/TradeGrid.h"
#include "core/packcheck/DetailStatus.h"
#include "core/packcheck/ParcelIndex.h"
#include "core/packcheck/ParcelMarks.h"
#include "core/packcheck/ParcelVerdict.h"

#include <QTemporaryDir>

namespace {

void AddRow(TradeGrid& grid, const QString& order, const QString& status, const QString& recipient,
    const QString& waybill = QString())
{
    const int row = grid.Rows();
    grid.SetRows(row + 1);
    grid.SetTextMatrix(row, ColOrderNumber, order);
    grid.SetTextMatrix(row, ColStatus, status);
    grid.SetTextMatrix(row, ColRecipient, recipient);
    grid.SetTextMatrix(row, ColProvince, QStringLiteral("浙江省"));
    grid.SetTextMatrix(row, ColAddress, QStringLiteral("文三路 478 号"));
    grid.SetTextMatrix(row, ColWaybill, waybill);
    grid.SetTextMatrix(row, ColItemRecord,
        ItemRecordLine({ order, QStringLiteral("9.90"), QStringLiteral("1"), QStringLiteral("发圈") }));
}

// 1001 alone; 1002 (two items) and 1003 to one recipient, one parcel;
// 1004 shipped in the morning; 1005 split over two waybills.
void FillDayGrid(TradeGrid& grid)
{
    SetUpTradeGrid(grid);
    AddRow(grid, QStringLiteral("1001"), QStringLiteral("买家已付款"), QStringLiteral("张三"));
    AddRow(grid, QStringLiteral("1002"), QStringLiteral("等待卖家发货"), QStringLiteral("李四"));
    AddRow(grid, QStringLiteral("1002_1"), QStringLiteral("等待卖家发货"), QStringLiteral("李四"));
    AddRow(grid, QStringLiteral("1003"), QStringLiteral("买家已付款"), QStringLiteral("李四"));
    AddRow(grid, QStringLiteral("1004"), QStringLiteral("卖家已发货"), QStringLiteral("王五"),
        QStringLiteral("SF100"));
    AddRow(grid, QStringLiteral("1005"), QStringLiteral("等待卖家发货"), QStringLiteral("赵六"),
        QStringLiteral("YT200、YT201"));
}

} // namespace

class TestPackCheck : public QObject {
    Q_OBJECT
private slots:
    void readsTheDetailPageStatus_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("status"); // "-" for none
        QTest::newRow("in a span") << "<span>订单编号：1</span> <span>交易状态：退款中</span></div>"
                                   << "退款中";
        QTest::newRow("value in a tag of its own") << "交易状态：\r\n  <em class=\"s\">交易关闭</em>"
                                                   << "交易关闭";
        QTest::newRow("no-break space first") << "交易状态：&nbsp;卖家已发货&nbsp;详情"
                                              << "卖家已发货";
        QTest::newRow("no label") << "<span>订单编号：1</span>"
                                  << "-";
        QTest::newRow("label without value") << "交易状态：</span>"
                                             << "-";
    }
    void readsTheDetailPageStatus()
    {
        QFETCH(QString, page);
        QFETCH(QString, status);
        QCOMPARE(ReadDetailStatus(page).value_or(QStringLiteral("-")), status);
    }

    void aParcelIsAsGraveAsItsWorstTrade_data()
    {
        QTest::addColumn<QStringList>("statuses"); // "-": not read
        QTest::addColumn<int>("verdict");
        QTest::newRow("still to ship")
            << QStringList { "买家已付款", "等待卖家发货" } << int(ParcelVerdict::CanShip);
        QTest::newRow("one trade refunded")
            << QStringList { "等待卖家发货", "退款中" } << int(ParcelVerdict::Refund);
        QTest::newRow("refund granted") << QStringList { "卖家已同意退款" } << int(ParcelVerdict::Refund);
        QTest::newRow("closed") << QStringList { "交易关闭", "等待卖家发货" } << int(ParcelVerdict::Closed);
        QTest::newRow("shipped") << QStringList { "卖家已发货" } << int(ParcelVerdict::Shipped);
        QTest::newRow("one page missing, never green")
            << QStringList { "等待卖家发货", "-" } << int(ParcelVerdict::Unchecked);
        QTest::newRow("a status no table knows")
            << QStringList { "待买家确认" } << int(ParcelVerdict::Unchecked);
        QTest::newRow("red beats a missing page")
            << QStringList { "-", "交易关闭" } << int(ParcelVerdict::Closed);
        QTest::newRow("no trades") << QStringList {} << int(ParcelVerdict::Unchecked);
    }
    void aParcelIsAsGraveAsItsWorstTrade()
    {
        QFETCH(QStringList, statuses);
        QFETCH(int, verdict);
        QList<ParcelVerdict> verdicts;
        for (const QString& status : statuses)
            verdicts.append(VerdictOfStatus(status == u"-" ? std::nullopt : std::optional<QString>(status)));
        QCOMPARE(int(WorstVerdict(verdicts)), verdict);
    }

    void findsTheParcelOfAScannedCode_data()
    {
        QTest::addColumn<QString>("scanned");
        QTest::addColumn<QString>("parcel"); // its first order; "" for none
        QTest::addColumn<QString>("offSlip"); // the grid's status of a trade on no slip
        QTest::newRow("the slip's barcode") << "1001\r"
                                            << "1001"
                                            << "";
        QTest::newRow("the parcel's second trade") << "1003"
                                                   << "1002"
                                                   << "";
        QTest::newRow("an item row's number") << " 1002_1 "
                                              << "1002"
                                              << "";
        QTest::newRow("a waybill of a split order") << "YT201"
                                                    << "1005"
                                                    << "";
        QTest::newRow("shipped this morning") << "1004"
                                              << ""
                                              << "卖家已发货";
        QTest::newRow("unknown") << "9999"
                                 << ""
                                 << "";
        QTest::newRow("nothing typed") << "\t"
                                       << ""
                                       << "";
    }
    void findsTheParcelOfAScannedCode()
    {
        QFETCH(QString, scanned);
        QFETCH(QString, parcel);
        QFETCH(QString, offSlip);
        TradeGrid grid;
        FillDayGrid(grid);
        const ParcelIndex index(grid, {});
        QCOMPARE(index.Count(), 3);
        const std::optional<int> found = index.Find(scanned);
        QCOMPARE(found ? index.At(*found).Key() : QString(), parcel);
        QCOMPARE(index.StatusOffSlip(scanned).value_or(QString()), offSlip);
        if (parcel == u"1002") {
            const Parcel& merged = index.At(*found);
            QCOMPARE(merged.slip.orders, QStringList({ "1002", "1003" }));
            QCOMPARE(merged.morningStatuses, QStringList({ "等待卖家发货", "买家已付款" }));
            QCOMPARE(merged.slip.items.size(), 3);
        }
    }

    // The marks outlive the run, and two holders of the file (the 验货
    // window, the print command) never drop each other's marks.
    void marksAreKeptAcrossRunsAndHolders()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data/parcel-marks.json"));
        const QDateTime morning = QDateTime::currentDateTime().addSecs(-3600);
        ParcelMarks checker(path);
        ParcelMarks printer(path);
        QCOMPARE(checker.Mark(ParcelMark::Checked, { "1001" }, morning), MarksWrite::Written);
        QCOMPARE(printer.Mark(ParcelMark::Printed, { "1001", "1002" }, morning), MarksWrite::Written);
        QCOMPARE(checker.Mark(ParcelMark::Checked, { "1005" }, morning), MarksWrite::Written);
        const ParcelMarks restarted(path);
        QCOMPARE(restarted.Marked(ParcelMark::Checked, { "1001", "1002", "1005" }),
            QStringList({ "1001", "1005" }));
        QCOMPARE(restarted.Marked(ParcelMark::Printed, { "1001", "1002", "1005" }),
            QStringList({ "1001", "1002" }));
        QCOMPARE(restarted.When(ParcelMark::Checked, "1001")->toSecsSinceEpoch(), morning.toSecsSinceEpoch());
        QCOMPARE(QFile(path).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
            QFileDevice::Permissions());
        // A mark older than a fortnight goes at the next write.
        ParcelMarks old(path);
        QCOMPARE(old.Mark(ParcelMark::Checked, { "0999" }, morning.addDays(-kParcelMarkDays - 1)),
            MarksWrite::Written);
        QVERIFY(!ParcelMarks(path).When(ParcelMark::Checked, "0999"));
        // An unreadable file starts anew instead of failing.
        QVERIFY(testsupport::WriteFile(path, "{ not json"));
        QVERIFY(!ParcelMarks(path).When(ParcelMark::Checked, "1001"));
        // A file that cannot be written is told, and the run keeps its marks.
        ParcelMarks blocked(dir.filePath(QStringLiteral("data/parcel-marks.json/inside")));
        QCOMPARE(blocked.Mark(ParcelMark::Checked, { "1001" }, morning), MarksWrite::Failed);
        QVERIFY(blocked.When(ParcelMark::Checked, "1001"));
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestPackCheck)
#include "TestPackCheck.moc"

#include "core/grid/GridOperations.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/text/TextMeasurer.h"
#include "core/trade/ColumnTable.h"
#include "support/CommandTestSupport.h"
#include "support/GridReference.h"
#include "support/TestSupport.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

class TestGridSetup : public QObject {
    Q_OBJECT
private slots:
    void shapeAfterSetUp();
    void widthsFollowTitles();
    void titleWiderThanHalfTheGrid();
    void secondSetUpChangesNothing();
    void clearingKeepsTheSetUp();
    void setUpIsOneBatchForAView();
    void headerFromShortListsLeavesGridVisible();
    void approximateMeasurerStandsIn_data();
    void approximateMeasurerStandsIn();
    void valuesFitTheirColumnsShape_data();
    void valuesFitTheirColumnsShape();

private:
    commandtest::FixedWidthMeasurer measurer_;
};

void TestGridSetup::shapeAfterSetUp()
{
    TradeGrid grid;
    SetUpTradeGrid(grid, &measurer_);
    QCOMPARE(grid.Rows(), 2);
    QCOMPARE(grid.Cols(), kTradeGridCols);
    QCOMPARE(grid.FixedRows(), 2);
    QCOMPARE(grid.FixedCols(), 2);
    QCOMPARE(grid.Tag(), QStringLiteral("交易记录"));
    QVERIFY(grid.Visible());
    QCOMPARE(grid.RowHeight(0), grid.RowHeight(1));
    for (int c = 0; c < grid.Cols(); ++c)
        QCOMPARE(grid.ColAlignment(c), 1);
}

void TestGridSetup::widthsFollowTitles()
{
    TradeGrid grid;
    SetUpTradeGrid(grid, &measurer_);
    QCOMPARE(grid.ColWidth(0), 50);
    QCOMPARE(grid.ColWidth(ColSequence), 2 * 7 + 100);
    QCOMPARE(grid.ColWidth(ColAmount), 6 * 7 + 100); // "实收款(元)"
    QCOMPARE(grid.ColWidth(ColProvince), 1 * 7 + 100); // "省", as wide as its letter here
}

void TestGridSetup::titleWiderThanHalfTheGrid()
{
    TradeGrid grid;
    grid.SetWidth(201); // half is 100.5, which rounds to the even 100
    SetUpTradeGrid(grid, &measurer_);
    QCOMPARE(grid.ColWidth(ColStrip), 50);
    QCOMPARE(grid.ColWidth(ColSequence), 100);
    QCOMPARE(grid.ColWidth(ColProvince), 100);
}

void TestGridSetup::secondSetUpChangesNothing()
{
    TradeGrid grid;
    SetUpTradeGrid(grid, &measurer_);
    grid.SetRows(5);
    grid.SetTextMatrix(2, ColOrderNumber, QStringLiteral("123"));
    grid.SetTextMatrix(1, ColItem, QStringLiteral("changed title"));
    grid.SetColWidth(ColItem, 4444);
    grid.SetRowHeight(0, 999);
    grid.SetColAlignment(3, 7);
    const gridref::Snapshot before = gridref::Snap(grid);
    SetUpTradeGrid(grid, &measurer_);
    QCOMPARE(gridref::Snap(grid), before);
}

void TestGridSetup::clearingKeepsTheSetUp()
{
    TradeGrid grid;
    SetUpTradeGrid(grid, &measurer_);
    grid.SetRows(40);
    grid.SetRows(grid.FixedRows());
    QCOMPARE(grid.Rows(), 2);
    QCOMPARE(grid.FixedRows(), 2);
    const gridref::Snapshot cleared = gridref::Snap(grid);
    SetUpTradeGrid(grid, &measurer_);
    QCOMPARE(gridref::Snap(grid), cleared);
    // The next extraction appends as row 2 with sequence number 1.
    grid.SetRows(grid.Rows() + 1);
    grid.SetTextMatrix(grid.Rows() - 1, ColSequence, QString::number(grid.Rows() - grid.FixedRows()));
    QCOMPARE(grid.TextMatrix(2, ColSequence), QStringLiteral("1"));
}

void TestGridSetup::setUpIsOneBatchForAView()
{
    TradeGrid grid;
    QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy reset(&grid, &QAbstractItemModel::modelReset);
    QSignalSpy changed(&grid, &QAbstractItemModel::dataChanged);
    QSignalSpy inserted(&grid, &QAbstractItemModel::columnsInserted);
    QSignalSpy widths(&grid, &TradeGrid::colWidthChanged);
    QSignalSpy layout(&grid, &TradeGrid::layoutValuesChanged);
    SetUpTradeGrid(grid, &measurer_);
    QCOMPARE(reset.count(), 1); // the header, built while hidden
    QCOMPARE(inserted.count(), 0); // no per-column signals
    QCOMPARE(changed.count(), 0);
    QCOMPARE(widths.count(), 0);
    QVERIFY(layout.count() >= 1); // widths and alignment, announced in batches
    QVERIFY(layout.count() <= 3);
    QCOMPARE(grid.columnCount(), kTradeGridCols);
    QVERIFY(grid.Visible());
}

void TestGridSetup::headerFromShortListsLeavesGridVisible()
{
    TradeGrid grid;
    // Two columns cannot hold two fixed columns and a scrollable one.
    QVERIFY_THROWS_EXCEPTION(GridRangeError,
        BuildGridHeader(grid, { QString(), QString() }, { QString(), QStringLiteral("序号") }));
    QVERIFY(grid.Visible());
    // Letters shorter than titles leave the missing letters empty.
    BuildGridHeader(grid, { QString(), QString(), QStringLiteral("A") },
        { QString(), QStringLiteral("序号"), QStringLiteral("订单编号"), QStringLiteral("成交时间") });
    QCOMPARE(grid.Cols(), 4);
    QCOMPARE(grid.Rows(), 2);
    QCOMPARE(grid.FixedRows(), 2);
    QCOMPARE(grid.TextMatrix(0, 2), QStringLiteral("A"));
    QCOMPARE(grid.TextMatrix(0, 3), QString());
    QCOMPARE(grid.TextMatrix(1, 3), QStringLiteral("成交时间"));
    QVERIFY(grid.Visible());
}

void TestGridSetup::approximateMeasurerStandsIn_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("width");
    // 90 twips a half-width character, 180 a full-width one, plus 100.
    QTest::newRow("full width") << int(ColOrderNumber) << 4 * 180 + 100; // "订单编号"
    QTest::newRow("mixed") << int(ColAmount) << 4 * 180 + 2 * 90 + 100; // "实收款(元)"
    QTest::newRow("one character") << int(ColProvince) << 180 + 100; // "省"
}

void TestGridSetup::approximateMeasurerStandsIn()
{
    QFETCH(int, col);
    QFETCH(int, width);
    TradeGrid grid;
    SetUpTradeGrid(grid); // no window measures
    QCOMPARE(grid.ColWidth(col), width);
}

LUMETRA_TEST_GUILESS_MAIN(TestGridSetup)
void TestGridSetup::valuesFitTheirColumnsShape_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("fits");
    QTest::newRow("order number") << int(ColOrderNumber) << "2100000071461234" << true;
    QTest::newRow("order number with letters") << int(ColOrderNumber) << "2100AB" << false;
    QTest::newRow("time of sale") << int(ColTime) << "2024-06-28 21:37:05" << true;
    QTest::newRow("time without seconds") << int(ColTime) << "2024-06-28 21:37" << false;
    QTest::newRow("month 13") << int(ColTime) << "2024-13-28 21:37:05" << false;
    QTest::newRow("price") << int(ColUnitPrice) << "19.9" << true;
    QTest::newRow("price with a sign") << int(ColUnitPrice) << "¥19.9" << false;
    QTest::newRow("quantity 0") << int(ColQuantity) << "0" << false;
    QTest::newRow("status with a blank") << int(ColStatus) << "交易成功 详情" << false;
    QTest::newRow("status with a no-break space") << int(ColStatus) << "交易成功\u00a0" << false;
    QTest::newRow("empty status") << int(ColStatus) << "" << false;
    QTest::newRow("mobile") << int(ColMobile) << "13800001111" << true;
    QTest::newRow("mobile of ten digits") << int(ColMobile) << "1380000111" << false;
    QTest::newRow("no mobile") << int(ColMobile) << "" << true;
    QTest::newRow("masked mobile") << int(ColMobile) << "138****5678" << true;
    QTest::newRow("virtual number, extension") << int(ColMobile) << "17012345678-1234" << true;
    QTest::newRow("virtual number, 转 extension") << int(ColMobile) << "17012345678转1234" << true;
    QTest::newRow("extension without digits") << int(ColMobile) << "17012345678-" << false;
    QTest::newRow("mask with letters") << int(ColMobile) << "138xxxx5678" << false;
    QTest::newRow("telephone with extension") << int(ColTelephone) << "0571-88886666-123" << true;
    QTest::newRow("telephone, 转 extension") << int(ColTelephone) << "010-62345678转8" << true;
    QTest::newRow("telephone run together") << int(ColTelephone) << "02162345678" << true;
    QTest::newRow("local number") << int(ColTelephone) << "62345678" << true;
    QTest::newRow("second mobile") << int(ColTelephone) << "13900002222" << true;
    QTest::newRow("room number") << int(ColTelephone) << "3-2-1201" << false;
    QTest::newRow("number of 4 digits") << int(ColTelephone) << "0571-8888" << false;
    QTest::newRow("area code without 0") << int(ColTelephone) << "571-88886666" << false;
    QTest::newRow("telephone with a name") << int(ColTelephone) << "张三" << false;
    QTest::newRow("postcode") << int(ColPostcode) << "310000" << true;
    QTest::newRow("street in postcode") << int(ColPostcode) << "文三路 1号" << false;
    QTest::newRow("company") << int(ColCompany) << "EMS" << true;
    QTest::newRow("waybill in company") << int(ColCompany) << "YT1234567890123" << false;
    QTest::newRow("waybill") << int(ColWaybill) << "SF1234567890" << true;
    QTest::newRow("company in waybill") << int(ColWaybill) << "中通快递" << false;
}

void TestGridSetup::valuesFitTheirColumnsShape()
{
    QFETCH(int, col);
    QFETCH(QString, value);
    QFETCH(bool, fits);
    QCOMPARE(FitsShape(FactsOfColumn(col)->shape, value), fits);
}

#include "TestGridSetup.moc"

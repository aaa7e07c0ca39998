#include "core/grid/TradeGrid.h"
#include "support/GridReference.h"
#include "support/TestSupport.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

class TestTradeGrid : public QObject {
    Q_OBJECT
private slots:
    void freshGridHasControlDefaults();
    void shapeChangesKeepTexts_data();
    void shapeChangesKeepTexts();
    void refusedAccessChangesNothing_data();
    void refusedAccessChangesNothing();
    void loweringRowsPullsSelectionIn();
    void loweringRowsBelowFixedRowsLowersThem();
    void alignmentCodes_data();
    void alignmentCodes();
    void visibleChangesAreSignalledOneByOne();
    void hiddenChangesBecomeOneReset();
    void layoutChangesWhileHiddenAreAnnouncedOnce();
    void removeRowsSortedRefusesBadLists_data();
    void removeRowsSortedRefusesBadLists();
    void removeRowsWhileVisibleSignalsShiftThenRemoval();
    void modelStaysConsistentUnderTester();
    void orderLookupFollowsEdits();
};

namespace {

// A grid of rows × cols with FixedRows/FixedCols 1 and texts "r,c".
void Fill(TradeGrid& grid, int rows, int cols)
{
    grid.SetCols(cols);
    grid.SetRows(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            grid.SetTextMatrix(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
}

} // namespace

void TestTradeGrid::freshGridHasControlDefaults()
{
    TradeGrid grid;
    QCOMPARE(grid.Rows(), 2);
    QCOMPARE(grid.Cols(), 2);
    QCOMPARE(grid.FixedRows(), 1);
    QCOMPARE(grid.FixedCols(), 1);
    QVERIFY(grid.Visible());
    QVERIFY(grid.Tag().isEmpty());
    QCOMPARE(grid.TextMatrix(1, 1), QString());
    QCOMPARE(grid.RowHeight(1), TradeGrid::kDefaultRowHeight);
    QCOMPARE(grid.ColWidth(1), TradeGrid::kDefaultColWidth);
    QCOMPARE(grid.ColAlignment(0), TradeGrid::kAlignGeneral);
}

void TestTradeGrid::shapeChangesKeepTexts_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::newRow("more rows") << 9 << 4;
    QTest::newRow("fewer rows") << 3 << 4;
    QTest::newRow("more columns") << 5 << 7;
    QTest::newRow("fewer columns") << 5 << 2;
    QTest::newRow("both fewer") << 2 << 1;
    QTest::newRow("no rows") << 0 << 4;
    QTest::newRow("no columns") << 5 << 0;
}

void TestTradeGrid::shapeChangesKeepTexts()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    TradeGrid grid;
    Fill(grid, 5, 4);
    grid.SetRowHeight(2, 600);
    grid.SetRows(rows);
    grid.SetCols(cols);
    QCOMPARE(grid.Rows(), rows);
    QCOMPARE(grid.Cols(), cols);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const QString expected = r < 5 && c < 4 ? QStringLiteral("%1,%2").arg(r).arg(c) : QString();
            QCOMPARE(grid.TextMatrix(r, c), expected);
        }
        QCOMPARE(grid.RowHeight(r), r == 2 ? 600 : TradeGrid::kDefaultRowHeight);
    }
    QVERIFY_THROWS_EXCEPTION(GridRangeError, grid.TextMatrix(rows, 0));
}

void TestTradeGrid::refusedAccessChangesNothing_data()
{
    QTest::addColumn<int>("what");
    QTest::newRow("read row -1") << 0;
    QTest::newRow("read past last row") << 1;
    QTest::newRow("write past last column") << 2;
    QTest::newRow("negative rows") << 3;
    QTest::newRow("negative height") << 4;
    QTest::newRow("negative width") << 5;
    QTest::newRow("fixed rows without a scrollable row") << 6;
    QTest::newRow("fixed columns without a scrollable column") << 7;
    QTest::newRow("alignment code 10") << 8;
    QTest::newRow("more cells than the limit") << 9;
    QTest::newRow("height of a missing row") << 10;
}

void TestTradeGrid::refusedAccessChangesNothing()
{
    QFETCH(int, what);
    TradeGrid grid;
    Fill(grid, 4, 3);
    const gridref::Snapshot before = gridref::Snap(grid);
    auto attempt = [&] {
        switch (what) {
        case 0:
            grid.TextMatrix(-1, 0);
            break;
        case 1:
            grid.TextMatrix(4, 0);
            break;
        case 2:
            grid.SetTextMatrix(0, 3, QStringLiteral("x"));
            break;
        case 3:
            grid.SetRows(-1);
            break;
        case 4:
            grid.SetRowHeight(1, -5);
            break;
        case 5:
            grid.SetColWidth(1, -5);
            break;
        case 6:
            grid.SetFixedRows(4);
            break;
        case 7:
            grid.SetFixedCols(3);
            break;
        case 8:
            grid.SetColAlignment(0, 10);
            break;
        case 9:
            grid.SetRows(int(TradeGrid::kMaxCells / 3 + 1));
            break;
        case 10:
            grid.RowHeight(99);
            break;
        }
    };
    grid.NoteExported();
    QVERIFY_THROWS_EXCEPTION(GridRangeError, attempt());
    QCOMPARE(gridref::Snap(grid), before);
    QVERIFY(!grid.HasUnexportedRows());
}

void TestTradeGrid::loweringRowsPullsSelectionIn()
{
    TradeGrid grid;
    Fill(grid, 50, 3);
    grid.SetSelection(40, 45);
    grid.SetRows(10);
    QCOMPARE(grid.Row(), 9);
    QCOMPARE(grid.RowSel(), 9);
    grid.SetSelection(5, 3);
    grid.SetRows(20);
    QCOMPARE(grid.Row(), 5);
    QCOMPARE(grid.RowSel(), 3);
}

void TestTradeGrid::loweringRowsBelowFixedRowsLowersThem()
{
    TradeGrid grid;
    Fill(grid, 5, 3);
    grid.SetFixedRows(2);
    grid.SetRows(2);
    QCOMPARE(grid.FixedRows(), 2); // clearing to the header rows keeps them
    grid.SetRows(1);
    QCOMPARE(grid.FixedRows(), 1);
    grid.SetRows(4);
    QCOMPARE(grid.FixedRows(), 1);
}

void TestTradeGrid::alignmentCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    const QString word = QStringLiteral("宝贝");
    QTest::newRow("0 left top") << 0 << word << int(Qt::AlignLeft | Qt::AlignTop);
    QTest::newRow("1 left centre") << 1 << word << int(Qt::AlignLeft | Qt::AlignVCenter);
    QTest::newRow("2 left bottom") << 2 << word << int(Qt::AlignLeft | Qt::AlignBottom);
    QTest::newRow("4 centre centre") << 4 << word << int(Qt::AlignHCenter | Qt::AlignVCenter);
    QTest::newRow("8 right bottom") << 8 << word << int(Qt::AlignRight | Qt::AlignBottom);
    QTest::newRow("9 text") << 9 << word << int(Qt::AlignLeft | Qt::AlignVCenter);
    QTest::newRow("9 number") << 9 << QStringLiteral("12.50") << int(Qt::AlignRight | Qt::AlignVCenter);
    QTest::newRow("1 number") << 1 << QStringLiteral("12.50") << int(Qt::AlignLeft | Qt::AlignVCenter);
}

void TestTradeGrid::alignmentCodes()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(int, expected);
    TradeGrid grid;
    grid.SetColAlignment(1, code);
    grid.SetTextMatrix(1, 1, text);
    QCOMPARE(grid.ColAlignment(1), code);
    QCOMPARE(grid.data(grid.index(1, 1), Qt::TextAlignmentRole).toInt(), expected);
}

void TestTradeGrid::visibleChangesAreSignalledOneByOne()
{
    TradeGrid grid;
    QSignalSpy inserted(&grid, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&grid, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&grid, &QAbstractItemModel::dataChanged);
    QSignalSpy heights(&grid, &TradeGrid::rowHeightChanged);
    grid.SetRows(5);
    grid.SetTextMatrix(4, 1, QStringLiteral("x"));
    grid.SetTextMatrix(4, 1, QStringLiteral("x")); // unchanged: no signal
    grid.SetRowHeight(3, 500);
    grid.SetRows(3);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 2);
    QCOMPARE(inserted.at(0).at(2).toInt(), 4);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>().row(), 4);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>().column(), 1);
    QCOMPARE(heights.count(), 1);
    QCOMPARE(heights.at(0).at(0).toInt(), 3);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 3);
    QCOMPARE(removed.at(0).at(2).toInt(), 4);
}

void TestTradeGrid::hiddenChangesBecomeOneReset()
{
    TradeGrid grid;
    QSignalSpy aboutToReset(&grid, &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy reset(&grid, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&grid, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&grid, &QAbstractItemModel::dataChanged);
    QSignalSpy shown(&grid, &TradeGrid::visibleChanged);
    grid.SetVisible(false);
    QCOMPARE(aboutToReset.count(), 0); // hiding alone changes nothing
    for (int i = 0; i < 100; ++i) {
        grid.SetRows(grid.Rows() + 1);
        grid.SetTextMatrix(grid.Rows() - 1, 1, QString::number(i));
    }
    grid.SetCols(5);
    QCOMPARE(aboutToReset.count(), 1);
    QCOMPARE(reset.count(), 0);
    grid.SetVisible(true);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(grid.rowCount(), 102);
    QCOMPARE(grid.data(grid.index(101, 1)).toString(), QStringLiteral("99"));
    QCOMPARE(shown.count(), 2);
    QCOMPARE(shown.at(0).at(0).toBool(), false);
    QCOMPARE(shown.at(1).at(0).toBool(), true);
}

void TestTradeGrid::layoutChangesWhileHiddenAreAnnouncedOnce()
{
    TradeGrid grid;
    Fill(grid, 6, 4);
    QSignalSpy layout(&grid, &TradeGrid::layoutValuesChanged);
    QSignalSpy heights(&grid, &TradeGrid::rowHeightChanged);
    QSignalSpy widths(&grid, &TradeGrid::colWidthChanged);
    QSignalSpy reset(&grid, &QAbstractItemModel::modelReset);
    grid.SetVisible(false);
    for (int r = 0; r < 6; ++r)
        grid.SetRowHeight(r, 400 + r);
    grid.SetColWidth(2, 0);
    grid.SetColAlignment(3, 4);
    QCOMPARE(layout.count(), 0);
    grid.SetVisible(true);
    QCOMPARE(layout.count(), 1);
    QCOMPARE(heights.count(), 0);
    QCOMPARE(widths.count(), 0);
    QCOMPARE(reset.count(), 0); // no text or shape changed
    QCOMPARE(grid.RowHeight(5), 405);
    QCOMPARE(grid.ColWidth(2), 0);
}

void TestTradeGrid::removeRowsSortedRefusesBadLists_data()
{
    QTest::addColumn<QVector<int>>("rows");
    QTest::newRow("header row") << QVector<int> { 0, 3 };
    QTest::newRow("past the end") << QVector<int> { 2, 8 };
    QTest::newRow("descending") << QVector<int> { 4, 2 };
    QTest::newRow("duplicate") << QVector<int> { 3, 3 };
    QTest::newRow("negative") << QVector<int> { -1 };
}

void TestTradeGrid::removeRowsSortedRefusesBadLists()
{
    QFETCH(QVector<int>, rows);
    TradeGrid grid;
    Fill(grid, 8, 3);
    const gridref::Snapshot before = gridref::Snap(grid);
    QVERIFY_THROWS_EXCEPTION(GridRangeError, grid.RemoveRowsSorted(rows));
    QCOMPARE(gridref::Snap(grid), before);
}

void TestTradeGrid::removeRowsWhileVisibleSignalsShiftThenRemoval()
{
    TradeGrid grid;
    Fill(grid, 10, 3);
    QStringList order;
    connect(
        &grid, &QAbstractItemModel::dataChanged, this, [&](const QModelIndex& from, const QModelIndex& to) {
            order << QStringLiteral("changed %1-%2").arg(from.row()).arg(to.row());
        });
    connect(
        &grid, &QAbstractItemModel::rowsAboutToBeRemoved, this, [&](const QModelIndex&, int first, int last) {
            // The rows that stay already hold their final texts.
            QCOMPARE(grid.TextMatrix(first - 1, 2), QStringLiteral("9,2"));
            order << QStringLiteral("removing %1-%2").arg(first).arg(last);
        });
    QSignalSpy reset(&grid, &QAbstractItemModel::modelReset);
    QCOMPARE(grid.RemoveRowsWhere([](int r) { return r == 3 || r == 5; }), 2);
    QCOMPARE(order, (QStringList { QStringLiteral("changed 3-7"), QStringLiteral("removing 8-9") }));
    QCOMPARE(reset.count(), 0);
    QCOMPARE(grid.TextMatrix(3, 2), QStringLiteral("4,2"));
    QCOMPARE(grid.TextMatrix(3, 0), QStringLiteral("3,0")); // sequence column stays
}

void TestTradeGrid::modelStaysConsistentUnderTester()
{
    TradeGrid grid;
    QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
    Fill(grid, 30, 6);
    grid.SetFixedRows(2);
    grid.SetFixedCols(2);
    grid.SetCols(8);
    grid.SetCols(5);
    grid.RemoveRowsWhere([](int r) { return r % 3 == 0; });
    QVERIFY(!QTest::currentTestFailed());
    grid.SetVisible(false);
    grid.SetRows(50);
    grid.SetTextMatrix(49, 2, QStringLiteral("late"));
    grid.RemoveRowsWhere([](int r) { return r % 2 == 0; });
    grid.SetCols(7);
    grid.SetVisible(true);
    grid.setData(grid.index(3, 3), QStringLiteral("edited"));
    grid.SetColAlignment(3, 1);
    grid.RemoveRowsSorted({ grid.Rows() - 1 });
    grid.SetRows(2);
    grid.SetRows(0);
    grid.SetCols(0);
    grid.SetRows(3);
    QCOMPARE(grid.rowCount(), 3);
    QCOMPARE(grid.columnCount(), 0);
}

void TestTradeGrid::orderLookupFollowsEdits()
{
    TradeGrid grid;
    grid.SetCols(4);
    grid.SetRows(8);
    const QString a = QStringLiteral("A1"), b = QStringLiteral("B2");
    grid.SetTextMatrix(3, 1, a);
    grid.SetTextMatrix(5, 1, a);
    grid.SetTextMatrix(6, 1, b);
    QCOMPARE(grid.FindOrderRow(a), 3);
    grid.SetTextMatrix(3, 1, b); // the first A goes: the next A is found
    QCOMPARE(grid.FindOrderRow(a), 5);
    QCOMPARE(grid.FindOrderRow(b), 3);
    grid.SetTextMatrix(2, 1, a); // a higher row takes over
    QCOMPARE(grid.FindOrderRow(a), 2);
    grid.SetTextMatrix(0, 1, b); // header row: not searched
    QCOMPARE(grid.FindOrderRow(b), 3);
    grid.SetTextMatrix(4, 2, QStringLiteral("C3")); // another column: not searched
    QCOMPARE(grid.FindOrderRow(QStringLiteral("C3")), -1);
    QCOMPARE(grid.FindOrderRow(QString()), 1);
    grid.SetRows(4);
    QCOMPARE(grid.FindOrderRow(a), 2);
    grid.SetRows(3);
    QCOMPARE(grid.FindOrderRow(b), -1);
    grid.SetFixedCols(2); // the lookup column moves with FixedCols
    QCOMPARE(grid.FindOrderRow(a), -1);
    grid.SetTextMatrix(2, 2, a);
    QCOMPARE(grid.FindOrderRow(a), 2);
    grid.SetFixedRows(2);
    QCOMPARE(grid.FindOrderRow(a), 2);
}

LUMETRA_TEST_GUILESS_MAIN(TestTradeGrid)
#include "TestTradeGrid.moc"

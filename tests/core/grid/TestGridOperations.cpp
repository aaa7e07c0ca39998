#include "core/grid/GridOperations.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TotalText.h"
#include "core/grid/TradeGrid.h"
#include "core/grid/TradeRows.h"
#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"
#include "core/text/TextHelpers.h"
#include "core/text/TextMeasurer.h"
#include "support/GridReference.h"
#include "support/TestSupport.h"

#include <QRandomGenerator>

class TestGridOperations : public QObject {
    Q_OBJECT
private slots:
    void init();
    void deleteRows_data();
    void deleteRows();
    void deleteRowsOnEmptyGridShowsIt();
    void deleteRowsHasNoSixteenBitLimit_data();
    void deleteRowsHasNoSixteenBitLimit();
    void deleteRowsMatchesShifting();
    void bulkRemovalMatchesBottomUpDeletes();
    void orderLookupMatchesScanAfterRandomEdits();
    void autoFitWidths_data();
    void autoFitWidths();
    void autoFitProgress_data();
    void autoFitProgress();
    void autoFitRefusesNegativeFirstRow();
    void roundHalfToEven_data();
    void roundHalfToEven();
    void findCell_data();
    void findCell();
    void findCellOutsideGridThrows();
    void sumColumn_data();
    void sumColumn();
    void totalLabel_data();
    void totalLabel();
    void tradesOfOrderCells_data();
    void tradesOfOrderCells();

private:
    RecordingProgressView view_;
    Progress progress_;
};

namespace {

// 10 twips per UTF-16 unit of the widest line; fractional when asked.
class CountingMeasurer : public TextMeasurer {
public:
    double extra = 0;
    double TextWidth(const QString& text) const override
    {
        qsizetype widest = 0;
        for (const QStringView line : QStringView(text).split(u"\r\n"))
            widest = std::max(widest, line.size());
        return widest == 0 ? 0 : double(widest) * 10 + extra;
    }
};

// Data rows numbered in the sequence column, every other cell "r:c".
void FillTrades(TradeGrid& grid, int dataRows)
{
    SetUpTradeGrid(grid);
    grid.SetRows(grid.FixedRows() + dataRows);
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r) {
        grid.SetTextMatrix(r, ColSequence, QString::number(r - grid.FixedRows() + 1));
        for (int c = ColOrderNumber; c < grid.Cols(); ++c)
            grid.SetTextMatrix(r, c, QStringLiteral("%1:%2").arg(r).arg(c));
    }
}

// A random small grid: any shape, cells from a tiny alphabet so that empty
// cells and repeats are common, random row heights.
void RandomGrid(TradeGrid& grid, QRandomGenerator& random)
{
    const int cols = random.bounded(1, 6);
    const int rows = random.bounded(0, 30);
    grid.SetCols(cols);
    grid.SetRows(rows + 4);
    grid.SetFixedRows(random.bounded(0, 4));
    grid.SetFixedCols(random.bounded(0, cols));
    grid.SetRows(std::max(rows, grid.FixedRows()));
    static const QString alphabet[] = { QString(), QStringLiteral("a"), QStringLiteral("b"),
        QStringLiteral("c"), QStringLiteral("交易关闭") };
    for (int r = 0; r < grid.Rows(); ++r) {
        for (int c = 0; c < grid.Cols(); ++c)
            grid.SetTextMatrix(r, c, alphabet[random.bounded(5)]);
        grid.SetRowHeight(r, random.bounded(3) == 0 ? 0 : 270 + r);
    }
}

void CopyGrid(const TradeGrid& from, TradeGrid& to)
{
    to.SetRows(0);
    to.SetCols(from.Cols());
    to.SetRows(from.Rows());
    for (int r = 0; r < from.Rows(); ++r) {
        to.SetRowHeight(r, from.RowHeight(r));
        for (int c = 0; c < from.Cols(); ++c)
            to.SetTextMatrix(r, c, from.TextMatrix(r, c));
    }
    to.SetFixedCols(from.FixedCols());
    if (from.FixedRows() < from.Rows())
        to.SetFixedRows(from.FixedRows());
    else {
        to.SetRows(from.Rows() + 1);
        to.SetFixedRows(from.FixedRows());
        to.SetRows(from.Rows());
    }
}

} // namespace

void TestGridOperations::init()
{
    view_ = RecordingProgressView();
    progress_.SetView(&view_);
}

void TestGridOperations::deleteRows_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QList<int>>("keptTrades"); // former sequence numbers, top down
    // Six trades in rows 2 … 7 (sequence 1 … 6).
    QTest::newRow("rows 3 and 4 of six") << 4 << 5 << QList<int> { 1, 2, 5, 6 };
    QTest::newRow("swapped") << 5 << 4 << QList<int> { 1, 2, 5, 6 };
    QTest::newRow("from inside the header") << 0 << 3 << QList<int> { 3, 4, 5, 6 };
    QTest::newRow("beyond the last row") << 6 << 1000 << QList<int> { 1, 2, 3, 4 };
    QTest::newRow("everything, swapped and clamped") << INT_MAX << INT_MIN << QList<int> {};
    QTest::newRow("single last row") << 7 << 7 << QList<int> { 1, 2, 3, 4, 5 };
    QTest::newRow("header rows only") << 0 << 1 << QList<int> { 1, 2, 3, 4, 5, 6 };
    QTest::newRow("both past the end") << 50 << 60 << QList<int> { 1, 2, 3, 4, 5, 6 };
}

void TestGridOperations::deleteRows()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QList<int>, keptTrades);
    TradeGrid grid;
    FillTrades(grid, 6);
    grid.SetRowHeight(3, 900);
    DeleteRows(grid, first, last);
    QVERIFY(grid.Visible());
    QCOMPARE(grid.Rows(), 2 + keptTrades.size());
    for (int i = 0; i < keptTrades.size(); ++i) {
        const int row = 2 + i;
        // The sequence column still reads 1 … n; the rest is the kept trade.
        QCOMPARE(grid.TextMatrix(row, ColSequence), QString::number(i + 1));
        QCOMPARE(grid.TextMatrix(row, ColOrderNumber), QStringLiteral("%1:2").arg(keptTrades[i] + 1));
        QCOMPARE(grid.TextMatrix(row, ColWaybill), QStringLiteral("%1:22").arg(keptTrades[i] + 1));
        // Heights stay with their positions.
        QCOMPARE(grid.RowHeight(row), row == 3 ? 900 : TradeGrid::kDefaultRowHeight);
    }
    QCOMPARE(grid.TextMatrix(1, ColOrderNumber), QStringLiteral("订单编号"));
}

void TestGridOperations::deleteRowsOnEmptyGridShowsIt()
{
    TradeGrid grid;
    SetUpTradeGrid(grid);
    grid.SetVisible(false);
    const gridref::Snapshot before = gridref::Snap(grid);
    DeleteRows(grid, 2, 2);
    QVERIFY(grid.Visible());
    gridref::Snapshot after = gridref::Snap(grid);
    after.visible = false;
    QCOMPARE(after, before);

    FillTrades(grid, 1);
    DeleteRows(grid, 2, 2); // the only data row
    QCOMPARE(grid.Rows(), grid.FixedRows());
    QVERIFY(grid.Visible());
}

void TestGridOperations::deleteRowsHasNoSixteenBitLimit_data()
{
    QTest::addColumn<int>("trades");
    QTest::addColumn<int>("deleted");
    QTest::newRow("32,768 of 32,770") << 32770 << 32768;
    QTest::newRow("all 40,000") << 40000 << 40000;
}

void TestGridOperations::deleteRowsHasNoSixteenBitLimit()
{
    QFETCH(int, trades);
    QFETCH(int, deleted);
    TradeGrid grid;
    SetUpTradeGrid(grid);
    grid.SetRows(2 + trades);
    for (int r = 2; r < grid.Rows(); ++r)
        grid.SetTextMatrix(r, ColOrderNumber, QString::number(r));
    // The user selects from the bottom up.
    DeleteRows(grid, 2 + deleted - 1, 2);
    QCOMPARE(grid.Rows(), 2 + trades - deleted);
    if (trades > deleted)
        QCOMPARE(grid.TextMatrix(2, ColOrderNumber), QString::number(2 + deleted));
}

void TestGridOperations::deleteRowsMatchesShifting()
{
    QRandomGenerator random(7);
    for (int round = 0; round < 1500; ++round) {
        TradeGrid fast, plain;
        RandomGrid(plain, random);
        CopyGrid(plain, fast);
        const int first = random.bounded(-2, plain.Rows() + 3);
        const int last = random.bounded(-2, plain.Rows() + 3);
        DeleteRows(fast, first, last);
        gridref::DeleteRowsByShifting(plain, first, last);
        if (!(gridref::Snap(fast) == gridref::Snap(plain)))
            QFAIL(qPrintable(
                QStringLiteral("round %1: DeleteRows(%2, %3) differs").arg(round).arg(first).arg(last)));
    }
}

void TestGridOperations::bulkRemovalMatchesBottomUpDeletes()
{
    QRandomGenerator random(11);
    for (int round = 0; round < 3000; ++round) {
        TradeGrid fast, plain;
        RandomGrid(plain, random);
        CopyGrid(plain, fast);
        // Decide on the original texts, as the closed-trade filter does.
        const int statusCol = random.bounded(plain.Cols());
        const int share = random.bounded(101);
        QVector<bool> marked(plain.Rows());
        for (int r = 0; r < plain.Rows(); ++r)
            marked[r]
                = plain.TextMatrix(r, statusCol) == QStringLiteral("交易关闭") || random.bounded(100) < share;
        const int expected = int(std::count(marked.begin() + plain.FixedRows(), marked.end(), true));
        fast.SetVisible(random.bounded(2) == 0); // visible and batched paths alike
        const int removed = fast.RemoveRowsWhere([&](int r) { return marked[r]; });
        fast.SetVisible(true);
        gridref::DeleteRowsOneByOne(plain, [&](int r) { return marked[r]; });
        QCOMPARE(removed, expected);
        if (!(gridref::Snap(fast) == gridref::Snap(plain)))
            QFAIL(qPrintable(QStringLiteral("round %1 differs").arg(round)));
    }
}

void TestGridOperations::orderLookupMatchesScanAfterRandomEdits()
{
    QRandomGenerator random(23);
    static const QString texts[] = { QString(), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
        QStringLiteral("交易关闭") };
    int checks = 0;
    for (int round = 0; round < 400; ++round) {
        TradeGrid grid;
        RandomGrid(grid, random);
        for (int step = 0; step < 25; ++step) {
            // Lookups first, so that the index is built and then has to follow the edit.
            for (const QString& text : texts) {
                const int expected = gridref::ScanOrderRow(grid, text);
                if (grid.FindOrderRow(text) != expected)
                    QFAIL(qPrintable(QStringLiteral("round %1 step %2: \"%3\" expected row %4, got %5")
                                         .arg(round)
                                         .arg(step)
                                         .arg(text)
                                         .arg(expected)
                                         .arg(grid.FindOrderRow(text))));
                ++checks;
            }
            const QString text = texts[random.bounded(5)];
            const int rows = grid.Rows();
            switch (random.bounded(9)) {
            case 0:
            case 1:
            case 2:
                if (rows > 0 && grid.Cols() > 0) // mostly the lookup column
                    grid.SetTextMatrix(random.bounded(rows),
                        random.bounded(3) ? std::min(grid.FixedCols(), grid.Cols() - 1)
                                          : random.bounded(grid.Cols()),
                        text);
                break;
            case 3: // append a trade
                grid.SetRows(rows + 1);
                if (grid.FixedCols() < grid.Cols())
                    grid.SetTextMatrix(rows, grid.FixedCols(), text);
                break;
            case 4:
                grid.SetRows(random.bounded(rows + 1));
                break;
            case 5:
                grid.RemoveRowsWhere([&](int) { return random.bounded(4) == 0; });
                break;
            case 6:
                DeleteRows(grid, random.bounded(-1, rows + 1), random.bounded(-1, rows + 1));
                break;
            case 7:
                try {
                    if (random.bounded(2))
                        grid.SetFixedRows(random.bounded(0, 4));
                    else
                        grid.SetFixedCols(random.bounded(0, 4));
                } catch (const GridRangeError&) {
                }
                break;
            case 8:
                if (rows > 0 && grid.Cols() > 0)
                    grid.setData(grid.index(random.bounded(rows), random.bounded(grid.Cols())), text);
                break;
            }
        }
    }
    QVERIFY(checks > 40000);
}

void TestGridOperations::autoFitWidths_data()
{
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("width"); // the grid's Width
    QTest::addColumn<double>("extra");
    QTest::addColumn<QList<int>>("expected"); // columns 0 … 4
    // Column 1: title "序号" (2 units) over "1".."3"; column 2: title of 4
    // units over a two-line text whose wider line is 9 units; column 3:
    // empty data under a 2-unit title; column 4: a 50-unit text.
    QTest::newRow("from row 0") << 0 << 2000 << 0.0 << QList<int> { 50, 120, 190, 120, 600 };
    QTest::newRow("from row 1") << 1 << 2000 << 0.0 << QList<int> { 50, 120, 190, 120, 600 };
    QTest::newRow("past the last row") << 99 << 2000 << 0.0 << QList<int> { 50, 50, 50, 50, 50 };
    QTest::newRow("wider than half the grid") << 1 << 1000 << 0.0 << QList<int> { 50, 120, 190, 120, 500 };
    QTest::newRow("half of an odd width, to even")
        << 1 << 1001 << 0.0 << QList<int> { 50, 120, 190, 120, 500 };
    QTest::newRow("half of an odd width, up to even")
        << 1 << 1003 << 0.0 << QList<int> { 50, 120, 190, 120, 502 };
    QTest::newRow("x.5 down to even") << 1 << 2000 << 0.5 << QList<int> { 50, 120, 190, 120, 600 };
    QTest::newRow("x.5 up to even") << 1 << 2000 << 1.5 << QList<int> { 50, 122, 192, 122, 602 };
    QTest::newRow("no room at all") << 1 << 0 << 0.0 << QList<int> { 0, 0, 0, 0, 0 };
}

void TestGridOperations::autoFitWidths()
{
    QFETCH(int, firstRow);
    QFETCH(int, width);
    QFETCH(double, extra);
    QFETCH(QList<int>, expected);
    TradeGrid grid;
    grid.SetCols(5);
    grid.SetRows(5);
    grid.SetFixedRows(2);
    grid.SetFixedCols(2);
    const QStringList letters { QString(), QString(), QStringLiteral("AAAAAAAAAAAAAAAAAAAA"),
        QStringLiteral("B"), QStringLiteral("C") };
    const QStringList titles { QString(), QStringLiteral("序号"), QStringLiteral("订单编号"),
        QStringLiteral("省份"), QStringLiteral("x") };
    for (int c = 0; c < 5; ++c) {
        grid.SetTextMatrix(0, c, letters[c]);
        grid.SetTextMatrix(1, c, titles[c]);
    }
    for (int r = 2; r < 5; ++r)
        grid.SetTextMatrix(r, 1, QString::number(r - 1));
    grid.SetTextMatrix(2, 0, QStringLiteral("strip text is never measured"));
    grid.SetTextMatrix(3, 2, QStringLiteral("ab\r\n123456789"));
    grid.SetTextMatrix(4, 4, QString(50, QLatin1Char('w')));
    grid.SetWidth(width);
    CountingMeasurer measurer;
    measurer.extra = extra;
    if (firstRow == 0) // the letter row counts: column 2's 20 letters win
        expected[2] = 300;
    AutoFitColumns(measurer, grid, firstRow, &progress_);
    QList<int> widths;
    for (int c = 0; c < 5; ++c)
        widths.append(grid.ColWidth(c));
    QCOMPARE(widths, expected);
    QCOMPARE(view_.loads, 0);
}

void TestGridOperations::autoFitProgress_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<int>("steps");
    QTest::newRow("200 rows") << 200 << true << 0;
    QTest::newRow("201 rows") << 201 << true << kShownTradeColumns; // one step per shown column
    QTest::newRow("201 rows, not allowed") << 201 << false << 0;
}

void TestGridOperations::autoFitProgress()
{
    QFETCH(int, rows);
    QFETCH(bool, allowed);
    QFETCH(int, steps);
    TradeGrid grid;
    SetUpTradeGrid(grid);
    grid.SetRows(rows);
    AutoFitColumns(CountingMeasurer(), grid, 1, allowed ? &progress_ : nullptr);
    QCOMPARE(view_.percentHistory.size(), steps);
    QCOMPARE(view_.shows, steps ? 1 : 0);
    QVERIFY(!view_.loaded);
    if (steps) {
        QCOMPARE(view_.message, QStringLiteral("正在做交易数据表格进行格式设置……"));
        QCOMPARE(view_.counter, QStringLiteral("(%1/%1)").arg(kShownTradeColumns));
        QCOMPARE(view_.percentHistory.last(), QStringLiteral("100%"));
    }
}

void TestGridOperations::autoFitRefusesNegativeFirstRow()
{
    TradeGrid grid;
    SetUpTradeGrid(grid);
    grid.SetRows(300);
    const gridref::Snapshot before = gridref::Snap(grid);
    QVERIFY_THROWS_EXCEPTION(GridRangeError, AutoFitColumns(CountingMeasurer(), grid, -1, &progress_));
    QCOMPARE(gridref::Snap(grid), before);
    QVERIFY(!view_.loaded);
}

void TestGridOperations::roundHalfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("1.5") << 1.5 << 2.0;
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("2.4999") << 2.4999 << 2.0;
    QTest::newRow("2.5001") << 2.5001 << 3.0;
    QTest::newRow("5047.5") << 5047.5 << 5048.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("-3.5") << -3.5 << -4.0;
}

void TestGridOperations::roundHalfToEven()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(RoundHalfToEven(value), expected);
}

void TestGridOperations::findCell_data()
{
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("firstCol");
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<int>("lastCol");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    // Rows 2 … 6; "dup" at (3, 4) and (5, 2); "x" at (4, 3) and (4, 2).
    QTest::newRow("upper of two rows") << 2 << 2 << 6 << 4 << "dup" << 3 << 4;
    QTest::newRow("left within a row") << 2 << 2 << 6 << 4 << "x" << 4 << 2;
    QTest::newRow("outside the columns") << 2 << 2 << 6 << 3 << "dup" << 5 << 2;
    QTest::newRow("rows reversed: empty") << 6 << 2 << 2 << 4 << "dup" << -1 << -1;
    QTest::newRow("columns reversed: empty") << 2 << 4 << 6 << 2 << "dup" << -1 << -1;
    QTest::newRow("case matters") << 2 << 2 << 6 << 4 << "DUP" << -1 << -1;
    QTest::newRow("whole text only") << 2 << 2 << 6 << 4 << "du" << -1 << -1;
    QTest::newRow("empty text finds an empty cell") << 2 << 2 << 6 << 4 << "" << 2 << 2;
}

void TestGridOperations::findCell()
{
    QFETCH(int, firstRow);
    QFETCH(int, firstCol);
    QFETCH(int, lastRow);
    QFETCH(int, lastCol);
    QFETCH(QString, text);
    QFETCH(int, row);
    QFETCH(int, col);
    TradeGrid grid;
    grid.SetCols(5);
    grid.SetRows(7);
    for (int r = 2; r < 7; ++r)
        for (int c = 0; c < 5; ++c)
            grid.SetTextMatrix(r, c, QStringLiteral("t%1%2").arg(r).arg(c));
    grid.SetTextMatrix(2, 2, QString());
    grid.SetTextMatrix(3, 4, QStringLiteral("dup"));
    grid.SetTextMatrix(5, 2, QStringLiteral("dup"));
    grid.SetTextMatrix(4, 3, QStringLiteral("x"));
    grid.SetTextMatrix(4, 2, QStringLiteral("x"));
    QCOMPARE(FindCell(grid, firstRow, firstCol, lastRow, lastCol, text), std::make_pair(row, col));
}

void TestGridOperations::findCellOutsideGridThrows()
{
    TradeGrid grid;
    grid.SetCols(3);
    grid.SetRows(4);
    grid.SetTextMatrix(3, 1, QStringLiteral("hit"));
    QVERIFY_THROWS_EXCEPTION(GridRangeError, FindCell(grid, 2, 1, INT_MAX, 1, QStringLiteral("miss")));
    // A match before the edge is still found.
    QCOMPARE(FindCell(grid, 2, 1, INT_MAX, 1, QStringLiteral("hit")), std::make_pair(3, 1));
}

void TestGridOperations::sumColumn_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<double>("sum");
    const QStringList mixed { QStringLiteral("12.50"), QStringLiteral("7"), QStringLiteral("免运费") };
    QTest::newRow("12.50, 7 and text") << 11 << mixed << 19.5;
    QTest::newRow("with a yuan sign and blanks")
        << 11 << QStringList { QStringLiteral(" 30.00元"), QStringLiteral("1,200") } << 31.0;
    QTest::newRow("column -1") << -1 << mixed << 0.0;
    QTest::newRow("column Cols") << 23 << mixed << 0.0;
    QTest::newRow("no data rows") << 11 << QStringList {} << 0.0;
}

void TestGridOperations::sumColumn()
{
    QFETCH(int, col);
    QFETCH(QStringList, texts);
    QFETCH(double, sum);
    TradeGrid grid;
    SetUpTradeGrid(grid);
    grid.SetTextMatrix(1, ColAmount, QStringLiteral("99")); // the title row is not summed
    for (const QString& text : texts) {
        grid.SetRows(grid.Rows() + 1);
        grid.SetTextMatrix(grid.Rows() - 1, ColAmount, text);
    }
    QCOMPARE(SumColumn(grid, col), sum);
}

// The total under the grid: the amounts' sum, "元" unless a check box
// asked for none.
void TestGridOperations::totalLabel_data()
{
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<bool>("withYuan");
    QTest::addColumn<QString>("label");
    QTest::newRow("1234.5") << QStringList { "1000.00", "234.50" } << true << "交易总额：1234.5元";
    QTest::newRow("after a check box: no yuan")
        << QStringList { "12.50元", "30" } << false << "交易总额：42.5";
    QTest::newRow("no data rows") << QStringList {} << true << "交易总额：0元";
    // Summed in cents, not as binary fractions.
    QTest::newRow("after a delete: cents add up")
        << QStringList { "41139.7" } + QStringList(19, QStringLiteral("0.3")) << true << "交易总额：41145.4元";
    QTest::newRow("refunds") << QStringList { "99.99", "-0.33", "0.34" } << false << "交易总额：100";
}

void TestGridOperations::totalLabel()
{
    QFETCH(QStringList, amounts);
    QFETCH(bool, withYuan);
    QFETCH(QString, label);
    TradeGrid grid;
    SetUpTradeGrid(grid);
    for (const QString& amount : amounts) {
        grid.SetRows(grid.Rows() + 1);
        grid.SetTextMatrix(grid.Rows() - 1, ColAmount, amount);
    }
    QCOMPARE(TotalLabelText(grid, withYuan), label);
}

void TestGridOperations::tradesOfOrderCells_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QStringList>("trades");
    QTest::newRow("one trade") << "4001" << QStringList { "4001" };
    QTest::newRow("a further item") << "4001_2" << QStringList { "4001" };
    QTest::newRow("merged, line by line") << "4001\r\n4002\r\n4001_2" << QStringList { "4001", "4002" };
    QTest::newRow("merged, as the documents write it") << "4001 / 4002" << QStringList { "4001", "4002" };
    QTest::newRow("empty") << "" << QStringList {};
}

void TestGridOperations::tradesOfOrderCells()
{
    QFETCH(QString, cell);
    QFETCH(QStringList, trades);
    QCOMPARE(TradesOfOrderCell(cell), trades);
    // The grid's index finds a merged row by each of its trades.
    TradeGrid grid;
    SetUpTradeGrid(grid);
    grid.SetRows(grid.FixedRows() + 2);
    grid.SetTextMatrix(grid.FixedRows() + 1, ColOrderNumber, cell);
    const QHash<QString, int> rows = TradeRowIndex(grid);
    QCOMPARE(rows.size(), trades.size());
    for (const QString& trade : trades)
        QCOMPARE(rows.value(trade), grid.FixedRows() + 1);
    QCOMPARE(TallyGrid(grid).mergedRows, trades.size() > 1 ? 1 : 0);
}

LUMETRA_TEST_GUILESS_MAIN(TestGridOperations)
#include "TestGridOperations.moc"

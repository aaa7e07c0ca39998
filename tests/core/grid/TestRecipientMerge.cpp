#include "support/TestSupport.h"

#include "support/StepByStepMerge.h"

#include "core/grid/GridOperations.h"
#include "core/grid/GridSetup.h"
#include "core/grid/RecipientMerge.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"
#include "core/text/TextHelpers.h"

#include <QRandomGenerator>
#include <optional>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Data rows numbered 1 … n, all paid for one recipient so that they merge
// unless a test says otherwise.
void MakeTradeGrid(TradeGrid& grid, int dataRows)
{
    SetUpTradeGrid(grid);
    grid.SetRows(grid.FixedRows() + dataRows);
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r) {
        grid.SetTextMatrix(r, ColSequence, QString::number(r - grid.FixedRows() + 1));
        grid.SetTextMatrix(r, ColRecipient, QStringLiteral("王五"));
        grid.SetTextMatrix(r, ColStatus, QStringLiteral("买家已付款"));
    }
}

// Pools chosen to hit the merge's corners: empty texts, values contained in
// other values, order numbers with _1/_2/_10, sums without a number.
void FillRandomGrid(TradeGrid& grid, QRandomGenerator& random)
{
    static const QStringList keyPool { QString(), QStringLiteral("张三"), QStringLiteral("张三 "),
        QStringLiteral("zhang"), QStringLiteral("Zhang") };
    static const QStringList joinPool { QString(), QStringLiteral("a"), QStringLiteral("ab"),
        QStringLiteral("b"), QStringLiteral("帽子"), QStringLiteral("帽子 围巾"), QStringLiteral("x\r\ny"),
        QStringLiteral("\r\n"), QStringLiteral("交易关闭"), QStringLiteral("等待买家付款"),
        QStringLiteral("y") };
    // Mostly statuses that merge, then those that never do: closed, unpaid,
    // one the tool does not know, none.
    static const QStringList statusPool { QStringLiteral("买家已付款"), QStringLiteral("卖家已发货"),
        QStringLiteral("交易成功"), QStringLiteral("退款中"), QStringLiteral("交易关闭"),
        QStringLiteral("等待买家付款"), QStringLiteral("交易关闭详情"), QString() };
    static const QStringList orderPool { QString(), QStringLiteral("1001"), QStringLiteral("1001_1"),
        QStringLiteral("1001_2"), QStringLiteral("1001_10"), QStringLiteral("21001"), QStringLiteral("1002"),
        QStringLiteral("1002_1_1"), QStringLiteral("_1") };
    static const QStringList sumPool { QString(), QStringLiteral("1"), QStringLiteral("12.50"),
        QStringLiteral("7.00"), QStringLiteral("abc"), QStringLiteral("-3"), QStringLiteral("2.10"),
        QStringLiteral("1e3"), QStringLiteral(" 4 元"), QStringLiteral("0.1"), QStringLiteral("0.2") };
    const int dataRows = int(random.bounded(26));
    MakeTradeGrid(grid, dataRows);
    // A few key tuples so that groups form; now and then a row of its own.
    // The recipient (k = 0) is drawn every time, so that most tuples have
    // one and some do not.
    QVector<QStringList> tuples;
    const int tupleCount = 1 + int(random.bounded(4));
    for (int t = 0; t < tupleCount; ++t) {
        QStringList tuple;
        for (int k = 0; k < 8; ++k)
            tuple.append(
                k == 0 || random.bounded(3) == 0 ? keyPool.at(random.bounded(keyPool.size())) : QString());
        tuples.append(tuple);
    }
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r) {
        QStringList tuple = tuples.at(random.bounded(tuples.size()));
        if (random.bounded(6) == 0)
            tuple[random.bounded(8)] = keyPool.at(random.bounded(keyPool.size()));
        for (int k = 0; k < 8; ++k)
            grid.SetTextMatrix(r, stepbystep::kKeys[k], tuple.at(k));
        for (int c = 0; c < grid.Cols(); ++c) {
            switch (stepbystep::RuleOf(c)) {
            case stepbystep::Rule::Sum:
                grid.SetTextMatrix(r, c, sumPool.at(random.bounded(sumPool.size())));
                break;
            case stepbystep::Rule::Join:
                grid.SetTextMatrix(r, c,
                    c == 2        ? orderPool.at(random.bounded(orderPool.size()))
                        : c == 10 ? statusPool.at(random.bounded(statusPool.size()))
                                  : joinPool.at(random.bounded(joinPool.size())));
                break;
            case stepbystep::Rule::Untouched:
                if (c == 0 && random.bounded(3) == 0)
                    grid.SetTextMatrix(r, c, QStringLiteral("s%1").arg(r));
                break;
            case stepbystep::Rule::Key:
                break;
            }
        }
        grid.SetRowHeight(r, int(random.bounded(2000)));
    }
}

QString Difference(const TradeGrid& expected, const TradeGrid& actual)
{
    if (expected.Rows() != actual.Rows())
        return QStringLiteral("rows %1 vs %2").arg(expected.Rows()).arg(actual.Rows());
    for (int r = 0; r < expected.Rows(); ++r) {
        if (expected.RowHeight(r) != actual.RowHeight(r))
            return QStringLiteral("height of row %1: %2 vs %3")
                .arg(r)
                .arg(expected.RowHeight(r))
                .arg(actual.RowHeight(r));
        for (int c = 0; c < expected.Cols(); ++c)
            if (expected.TextMatrix(r, c) != actual.TextMatrix(r, c))
                return QStringLiteral("cell %1,%2: \"%3\" vs \"%4\"")
                    .arg(r)
                    .arg(c)
                    .arg(expected.TextMatrix(r, c), actual.TextMatrix(r, c));
    }
    return QString();
}

void SetKeys(TradeGrid& grid, int row, const QString& recipient, const QString& waybill = QString())
{
    grid.SetTextMatrix(row, ColRecipient, recipient);
    grid.SetTextMatrix(row, ColWaybill, waybill);
}

} // namespace

class TestRecipientMerge : public QObject {
    Q_OBJECT
private slots:
    void init() { progress_.emplace().SetView(&view_.emplace()); }

    void matchesStepByStepMergeOnRandomGrids_data()
    {
        QTest::addColumn<quint32>("firstSeed");
        QTest::addColumn<int>("grids");
        QTest::newRow("seeds 1-1500") << 1u << 1500;
        QTest::newRow("seeds 100001-101500") << 100001u << 1500;
    }
    void matchesStepByStepMergeOnRandomGrids()
    {
        QFETCH(quint32, firstSeed);
        QFETCH(int, grids);
        int merged = 0;
        for (int n = 0; n < grids; ++n) {
            QRandomGenerator random(firstSeed + quint32(n));
            TradeGrid expected;
            FillRandomGrid(expected, random);
            TradeGrid actual;
            SetUpTradeGrid(actual);
            actual.SetRows(expected.Rows());
            for (int r = 0; r < expected.Rows(); ++r) {
                actual.SetRowHeight(r, expected.RowHeight(r));
                for (int c = 0; c < expected.Cols(); ++c)
                    actual.SetTextMatrix(r, c, expected.TextMatrix(r, c));
            }
            const int rowsBefore = expected.Rows();
            stepbystep::MergeSameRecipient(expected);
            MergeSameRecipient(*progress_, actual);
            merged += rowsBefore - expected.Rows();
            const QString difference = Difference(expected, actual);
            if (!difference.isEmpty())
                QFAIL(qPrintable(QStringLiteral("seed %1: %2").arg(firstSeed + quint32(n)).arg(difference)));
        }
        QVERIFY2(merged > grids, "the random grids must actually merge rows");
    }

    void workedExample()
    {
        TradeGrid grid;
        MakeTradeGrid(grid, 3);
        const struct {
            const char* order;
            const char* quantity;
            const char* amount;
            const char* item;
        } rows[] = { { "1001", "1", "20.00", "cap" }, { "1001_1", "2", "30.00", "scarf" },
            { "1002", "1", "15", "cap" } };
        for (int i = 0; i < 3; ++i) {
            const int r = 2 + i;
            grid.SetTextMatrix(r, ColOrderNumber, QString::fromUtf8(rows[i].order));
            grid.SetTextMatrix(r, ColQuantity, QString::fromUtf8(rows[i].quantity));
            grid.SetTextMatrix(r, ColAmount, QString::fromUtf8(rows[i].amount));
            grid.SetTextMatrix(r, ColItem, QString::fromUtf8(rows[i].item));
            SetKeys(grid, r, QStringLiteral("王五"), QStringLiteral("YT1"));
        }
        const int height = grid.RowHeight(2);
        MergeSameRecipient(*progress_, grid);
        QCOMPARE(grid.Rows(), 3);
        QCOMPARE(grid.TextMatrix(2, ColOrderNumber), QStringLiteral("1001\r\n1002"));
        QCOMPARE(grid.TextMatrix(2, ColQuantity), QStringLiteral("4"));
        QCOMPARE(grid.TextMatrix(2, ColAmount), QStringLiteral("65"));
        QCOMPARE(grid.TextMatrix(2, ColItem), QStringLiteral("cap\r\nscarf"));
        QCOMPARE(grid.RowHeight(2), 3 * height);
        QCOMPARE(grid.TextMatrix(2, ColSequence), QStringLiteral("1"));
    }

    void sumColumns_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("sum");
        QTest::newRow("trailing zeros go") << "12.50"
                                           << "7.00"
                                           << "19.5";
        QTest::newRow("no leading number counts 0") << "abc"
                                                    << "3"
                                                    << "3";
        QTest::newRow("both without number") << ""
                                             << "x"
                                             << "0";
        QTest::newRow("yuan sign after number") << "12.50元"
                                                << "1"
                                                << "13.5";
        QTest::newRow("negative") << "-3.25"
                                  << "1"
                                  << "-2.25";
    }
    void sumColumns()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, sum);
        TradeGrid grid;
        MakeTradeGrid(grid, 2);
        for (const int col : { 6, 11 }) {
            grid.SetTextMatrix(2, col, first);
            grid.SetTextMatrix(3, col, second);
        }
        MergeSameRecipient(*progress_, grid);
        QCOMPARE(grid.Rows(), 3);
        QCOMPARE(grid.TextMatrix(2, ColQuantity), sum);
        QCOMPARE(grid.TextMatrix(2, ColAmount), sum);
    }

    void joinColumns_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("joined");
        QTest::newRow("empty first gives a leading empty line") << 9 << ""
                                                                << "李雷"
                                                                << "\r\n李雷";
        QTest::newRow("empty second adds nothing") << 9 << "李雷"
                                                   << ""
                                                   << "李雷";
        QTest::newRow("part of the kept text is a value of its own") << 14 << "13800001111"
                                                                     << "0001"
                                                                     << "13800001111\r\n0001";
        QTest::newRow("price inside a longer price") << 5 << "19.9"
                                                     << "9.9"
                                                     << "19.9\r\n9.9";
        QTest::newRow("item inside a longer item") << 4 << "帽子"
                                                   << "帽"
                                                   << "帽子\r\n帽";
        QTest::newRow("equal to a whole line not added") << 4 << "帽子\r\n围巾"
                                                         << "围巾"
                                                         << "帽子\r\n围巾";
        QTest::newRow("case differs") << 4 << "Cap"
                                      << "cap"
                                      << "Cap\r\ncap";
        QTest::newRow("unit price joined not added") << 5 << "12.5"
                                                     << "7"
                                                     << "12.5\r\n7";
        QTest::newRow("order _1 stripped then contained") << 2 << "1001"
                                                          << "1001_1"
                                                          << "1001";
        QTest::newRow("order _2 kept") << 2 << "1001"
                                       << "1001_2"
                                       << "1001\r\n1001_2";
        QTest::newRow("order _10 intact") << 2 << "1001"
                                          << "1001_10"
                                          << "1001\r\n1001_10";
        QTest::newRow("order inner _1 kept") << 2 << "9"
                                             << "1001_1_2"
                                             << "9\r\n1001_1_2";
        QTest::newRow("_1 only stripped in order column") << 4 << "x"
                                                          << "x_1"
                                                          << "x\r\nx_1";
        QTest::newRow("a two-line message of the trade's item row joined once")
            << int(ColBuyerMessage) << "请发顺丰\r\n周末不在家"
            << "请发顺丰\r\n周末不在家"
            << "请发顺丰\r\n周末不在家";
        QTest::newRow("another trade's two-line memo joined") << int(ColSellerMemo) << "VIP\r\n老客户"
                                                              << "送小样\r\n老客户"
                                                              << "VIP\r\n老客户\r\n送小样\r\n老客户";
        QTest::newRow("the same lines in another order are another text") << int(ColBuyerMessage) << "a\r\nb"
                                                                          << "b\r\na"
                                                                          << "a\r\nb\r\nb\r\na";
    }
    void joinColumns()
    {
        QFETCH(int, col);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, joined);
        TradeGrid grid;
        MakeTradeGrid(grid, 2);
        grid.SetTextMatrix(2, col, first);
        grid.SetTextMatrix(3, col, second);
        MergeSameRecipient(*progress_, grid);
        QCOMPARE(grid.Rows(), 3);
        QCOMPARE(grid.TextMatrix(2, col), joined);
    }

    void keysDecideWhatMerges_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("rowsAfter");
        QTest::newRow("empty recipient never merges") << 13 << ""
                                                      << "" << 4;
        QTest::newRow("one recipient empty") << 13 << "张三"
                                             << "" << 4;
        QTest::newRow("closed trade below a live one") << 10 << "等待卖家发货"
                                                       << "交易关闭" << 4;
        QTest::newRow("closed trades never merge") << 10 << "交易关闭"
                                                   << "交易关闭" << 4;
        QTest::newRow("unpaid trade below a paid one") << 10 << "买家已付款"
                                                       << "等待买家付款" << 4;
        QTest::newRow("a status not known never merges") << 10 << "交易关闭详情查看物流"
                                                         << "交易关闭详情查看物流" << 4;
        QTest::newRow("refund and paid ship together") << 10 << "退款中"
                                                       << "买家已付款" << 3;
        QTest::newRow("waybill differs") << 22 << "YT1"
                                         << "YT2" << 4;
        QTest::newRow("address case differs") << 19 << "Road"
                                              << "road" << 4;
        QTest::newRow("trailing blank differs") << 13 << "张三"
                                                << "张三 " << 4;
        QTest::newRow("mobile is not a key") << 14 << "138"
                                             << "139" << 3;
        QTest::newRow("telephone is not a key") << 15 << "010"
                                                << "020" << 3;
    }
    void keysDecideWhatMerges()
    {
        QFETCH(int, col);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(int, rowsAfter);
        TradeGrid grid;
        MakeTradeGrid(grid, 2);
        grid.SetTextMatrix(2, col, first);
        grid.SetTextMatrix(3, col, second);
        MergeSameRecipient(*progress_, grid);
        QCOMPARE(grid.Rows(), rowsAfter);
    }

    void sequenceColumnReadsOneToN()
    {
        TradeGrid grid;
        MakeTradeGrid(grid, 6);
        const QStringList recipients { "a", "b", "a", "c", "b", "d" };
        for (int i = 0; i < 6; ++i)
            SetKeys(grid, 2 + i, recipients.at(i));
        MergeSameRecipient(*progress_, grid);
        QCOMPARE(grid.Rows(), 6);
        QStringList order, sequence;
        for (int r = 2; r < grid.Rows(); ++r) {
            order.append(grid.TextMatrix(r, ColRecipient));
            sequence.append(grid.TextMatrix(r, ColSequence));
        }
        QCOMPARE(order, (QStringList { "a", "b", "c", "d" }));
        QCOMPARE(sequence, (QStringList { "1", "2", "3", "4" }));
    }

    void secondRunChangesNothing()
    {
        QRandomGenerator random(77);
        TradeGrid grid;
        FillRandomGrid(grid, random);
        while (grid.Rows() < 12)
            FillRandomGrid(grid, random);
        MergeSameRecipient(*progress_, grid);
        TradeGrid copy;
        SetUpTradeGrid(copy);
        copy.SetRows(grid.Rows());
        for (int r = 0; r < grid.Rows(); ++r) {
            copy.SetRowHeight(r, grid.RowHeight(r));
            for (int c = 0; c < grid.Cols(); ++c)
                copy.SetTextMatrix(r, c, grid.TextMatrix(r, c));
        }
        MergeSameRecipient(*progress_, grid);
        QCOMPARE(Difference(copy, grid), QString());
    }

    void progressCountsKeptRows()
    {
        TradeGrid grid;
        MakeTradeGrid(grid, 5);
        const QStringList recipients { "a", "a", "b", "a", "c" };
        for (int i = 0; i < 5; ++i)
            SetKeys(grid, 2 + i, recipients.at(i));
        MergeSameRecipient(*progress_, grid);
        QCOMPARE(view_->message, QStringLiteral("正在合并相同收件人的记录..."));
        QCOMPARE(progress_->State().total, 6);
        QCOMPARE(progress_->State().position, 3);
        QCOMPARE(view_->counter, QStringLiteral("(3/6)"));
        QVERIFY(!view_->loaded);
        QCOMPARE(view_->unloads, 1);
    }

    void emptyGridOnlyOpensAndClosesProgress()
    {
        TradeGrid grid;
        MakeTradeGrid(grid, 0);
        MergeSameRecipient(*progress_, grid);
        QCOMPARE(grid.Rows(), 2);
        QCOMPARE(grid.TextMatrix(1, ColOrderNumber), QStringLiteral("订单编号"));
        QCOMPARE(view_->loads, 1);
        QCOMPARE(view_->unloads, 1);
        QCOMPARE(progress_->State().position, 0);
    }

    void largeShipmentJoinsEveryOrderOnce()
    {
        // One recipient, thousands of distinct orders: the joined text grows
        // long and must still hold each order number exactly once.
        TradeGrid grid;
        const int count = 3000;
        MakeTradeGrid(grid, count);
        for (int i = 0; i < count; ++i) {
            grid.SetTextMatrix(2 + i, ColOrderNumber, QStringLiteral("T%1").arg(100000 + i % 1500));
            grid.SetTextMatrix(2 + i, ColAmount, QStringLiteral("1.5"));
        }
        MergeSameRecipient(*progress_, grid);
        QCOMPARE(grid.Rows(), 3);
        const QStringList lines = grid.TextMatrix(2, ColOrderNumber).split(kCrLf);
        QCOMPARE(lines.size(), 1500);
        QCOMPARE(lines.last(), QStringLiteral("T101499"));
        QCOMPARE(grid.TextMatrix(2, ColAmount), QStringLiteral("4500"));
    }

private:
    std::optional<RecordingProgressView> view_;
    std::optional<Progress> progress_;
};

LUMETRA_TEST_GUILESS_MAIN(TestRecipientMerge)
#include "TestRecipientMerge.moc"

#include "support/PlainListParser.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

#include "core/downloads/DetailDownloadPass.h"
#include "core/extract/ListParser.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/network/BrowserPage.h"
#include "core/network/PageFetchJob.h"
#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"
#include "core/session/PageExtraction.h"
#include "core/session/RunContext.h"

#include <QRandomGenerator>
#include <optional>

namespace {

using standin::RecordingPrompt;
using standin::ScriptedPage;

const QString kNoTrades = QStringLiteral("没有提取到交易记录，请在下面网页点开淘宝店铺“已卖出的宝贝”页面！");

// The "下一页" link of a list page that has one (enabled or not); a click
// is noted in `events`.
ScriptedPage::LinkAnswer NextLink(bool disabled, QStringList* events)
{
    return [disabled, events](const QString& linkText, bool click, const QString& tagName) {
        if (disabled || linkText != QStringLiteral("下一页") || tagName.toUpper() != QStringLiteral("A"))
            return QString();
        if (click)
            events->append(QStringLiteral("click"));
        return QStringLiteral("/sold?page=2");
    };
}

QString HeaderRow(const QString& order, const QString& time = QStringLiteral("2024-03-01 10:20:30"))
{
    return QStringLiteral("<TR class=\"sep-row\"><TD colspan=\"8\">\r\n<LABEL><INPUT type=\"checkbox\">"
                          "<SPAN>订单编号：%1</SPAN></LABEL> <SPAN>成交时间：%2</SPAN></TD></TR>")
        .arg(order, time);
}

QString ItemRow(const QString& title, const QString& price, const QString& quantity,
    const QString& afterSales, const QString& buyerCell, const QString& statusCell, const QString& amount,
    const QString& rating)
{
    return QStringLiteral(
        "<TR><TD class=\"item\"><A href=\"/item?id=1\">%1</A></TD><TD>%2</TD><TD>%3</TD>"
        "<TD>%4</TD><TD rowspan=\"3\">%5</TD><TD rowspan=\"3\">%6</TD>"
        "<TD rowspan=\"3\"><STRONG>%7</STRONG><BR>(含快递:0.00)</TD><TD rowspan=\"3\">%8</TD></TR>")
        .arg(title, price, quantity, afterSales, buyerCell, statusCell, amount, rating);
}

QString SimpleItemRow(const QString& title, const QString& price = QStringLiteral("12.50"))
{
    return ItemRow(title, price, QStringLiteral("1"), QString(),
        QStringLiteral("buyer1 <SPAN>张三</SPAN> <A>旺旺在线</A>"), QStringLiteral("交易成功 <A>详情</A>"),
        QStringLiteral("30.00"), QStringLiteral("已评价"));
}

QString ContinuationRow(const QString& title, const QString& price = QStringLiteral("7.00"),
    const QString& quantity = QStringLiteral("2"), const QString& afterSales = QString())
{
    return QStringLiteral("<TR><TD><A>%1</A></TD><TD>%2</TD><TD>%3</TD><TD>%4</TD></TR>")
        .arg(title, price, quantity, afterSales);
}

QString CellsRow(int cells)
{
    QString row = QStringLiteral("<TR>");
    for (int i = 0; i < cells; ++i)
        row += QStringLiteral("<TD>x%1</TD>").arg(i);
    return row + QStringLiteral("</TR>");
}

QString Table(const QStringList& rows)
{
    return QStringLiteral(
               "\r\n<THEAD><TR><TH>宝贝</TH><TH>单价</TH></TR></THEAD>\r\n<TBODY class=\"list\">\r\n")
        + rows.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n</TBODY>");
}

QStringList RowTexts(const TradeGrid& grid, int row, int firstCol = 1, int lastCol = 12)
{
    QStringList texts;
    for (int c = firstCol; c <= lastCol; ++c)
        texts.append(grid.TextMatrix(row, c));
    return texts;
}

// A page of random well-shaped trades: titles, buyer cells and item counts
// vary, and trades repeat across the two pages of a round.
QString RandomPage(QRandomGenerator& random)
{
    const auto pick = [&random](const QStringList& choices) {
        return choices.at(int(random.bounded(int(choices.size()))));
    };
    const QStringList texts { "帽子 红色", "围巾", " x\r\n y ", "a<B>b</B>c", "\r<BR>\n", "投诉维权 退款中",
        "" };
    const QStringList prices { "12.50", "007", "1 2.5", "0.00001", "1234567890123456", "3" };
    const QStringList quantities { "1", "007", "2 件", "12" };
    const QStringList statuses { "交易成功 <A>详情</A>", "交易关闭", "卖家已发货&nbsp;详情" };
    const QStringList people { "b 名 旺旺在线", "名字旺旺", "b 名字",
        "b\r\n <SPAN>张 三</SPAN> <A>旺旺</A>" };
    QStringList rows;
    for (int trade = int(random.bounded(12)); trade > 0; --trade) {
        rows.append(HeaderRow(QString::number(random.bounded(20))));
        rows.append(ItemRow(pick(texts), pick(prices), pick(quantities), pick(texts), pick(people), pick(statuses),
            pick(prices), pick(texts)));
        for (int item = int(random.bounded(3)); item > 0; --item)
            rows.append(ContinuationRow(pick(texts), pick(prices), pick(quantities), pick(texts)));
    }
    return Table(rows);
}

QStringList OrderColumn(const TradeGrid& grid)
{
    QStringList orders;
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r)
        orders.append(grid.TextMatrix(r, ColOrderNumber));
    return orders;
}

} // namespace

class TestListParser : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        prompt_.Clear();
        told_.clear();
        found_.clear();
        Endpoints endpoints = DefaultEndpoints();
        endpoints.tradeBase = QStringLiteral("http://trade.example");
        run_.emplace(RunServices { .prompt = &prompt_, .endpoints = endpoints })
            .progress.SetView(&view_.emplace());
        events_.clear();
        page_.table.clear();
        page_.findLink = {};
        page_.linkQueries.clear();
        page_.clicks = 0;
        run_->fetcher.UseStandIn([this](const QString& address, const QString&, int) {
            events_.append(QStringLiteral("fetch ") + address.section(QLatin1Char('='), 1));
            return FetchResult { FetchStatus::Arrived,
                QStringLiteral(
                    "收货和物流信息收货地址：收件人，13800001111，0571-88886666，浙江省 杭州市 西湖区 路，310000"
                    "运送方式：快递物流公司名称：圆通运单号：YT1我对购买流程有意见或建议<A>关于淘宝</A>") };
        });
    }
    void oneItemTradeFillsColumnsOneToTwelve()
    {
        TradeGrid grid;
        page_.table = Table({ HeaderRow("1001"),
            ItemRow(QStringLiteral("帽子 红色\r\n 均码"), QStringLiteral("12.50"), QStringLiteral("3.00"),
                QStringLiteral("退款中 <A>投诉维权</A>"),
                QStringLiteral("buyer1\r\n <SPAN>张 三</SPAN> <A>旺旺在线</A>"),
                QStringLiteral("交易成功 <A>详情</A>"), QStringLiteral("25.00"),
                QStringLiteral(" 已评价 ")) });
        QVERIFY(!Extract(grid, false));
        QCOMPARE(grid.Tag(), QStringLiteral("交易记录"));
        QCOMPARE(grid.Rows(), 3);
        QCOMPARE(RowTexts(grid, 2),
            (QStringList { "1", "1001", "2024-03-01 10:20:30", "帽子", "12.5", "3", "退款中", "buyer1",
                "张 三", "交易成功", "25", "已评价" }));
        QCOMPARE(grid.TextMatrix(2, ColRecipient), QStringLiteral("收件人"));
        QVERIFY(told_.isEmpty());
    }

    void itemCells_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("buyerCell");
        QTest::addColumn<QString>("statusCell");
        QTest::addColumn<QStringList>("expected"); // item, price, buyer, name, status
        QTest::newRow("title without blank taken whole")
            << "ZhangsCap"
            << "8"
            << "b 名 旺旺"
            << "交易关闭 详情" << QStringList { "ZhangsCap", "8", "b", "名", "交易关闭" };
        QTest::newRow("buyer cell without blank") << "x"
                                                  << "8"
                                                  << "名字旺旺"
                                                  << "s 详情" << QStringList { "x", "8", "", "名字", "s" };
        QTest::newRow("no chat tool gives empty name") << "x"
                                                       << "8"
                                                       << "b 名字"
                                                       << "s 详情" << QStringList { "x", "8", "b", "", "s" };
        QTest::newRow("status without blank taken whole")
            << "x"
            << "8"
            << "b 名 旺旺"
            << "交易成功" << QStringList { "x", "8", "b", "名", "交易成功" };
        QTest::newRow("status with its link right after it")
            << "x"
            << "8"
            << "b 名 旺旺"
            << "交易关闭<A>详情</A>" << QStringList { "x", "8", "b", "名", "交易关闭" };
        QTest::newRow("status, no-break space, link")
            << "x"
            << "8"
            << "b 名 旺旺"
            << "交易关闭&nbsp;<A>详情</A>" << QStringList { "x", "8", "b", "名", "交易关闭" };
        QTest::newRow("status in its own paragraph, links on lines of their own")
            << "x"
            << "8"
            << "b 名 旺旺"
            << "<P>交易关闭</P>\r\n<A>详情</A>\r\n<A>查看物流</A>"
            << QStringList { "x", "8", "b", "名", "交易关闭" };
        QTest::newRow("status after a line break of its cell")
            << "x"
            << "8"
            << "b 名 旺旺"
            << "\r\n<P>卖家已发货</P>\r\n<A>详情</A>" << QStringList { "x", "8", "b", "名", "卖家已发货" };
        QTest::newRow("status and its links in paragraphs of their own")
            << "x"
            << "8"
            << "b 名 旺旺"
            << "<P>交易关闭</P><P><A>详情</A><A>查看物流</A></P>" << QStringList { "x", "8", "b", "名", "交易关闭" };
        QTest::newRow("a title quoting the order label starts no trade")
            << "订单编号：123456789012345&nbsp;成交时间：2024-01-01&nbsp;00:00:00"
            << "8"
            << "b 名 旺旺"
            << "s d"
            << QStringList { "订单编号：123456789012345 成交时间：2024-01-01 00:00:00", "8", "b", "名", "s" };
        QTest::newRow("character references decoded") << "A&amp;B"
                                                      << "1200.00"
                                                      << "b&lt;1&gt; n&amp;m旺旺"
                                                      << "s d" << QStringList { "A&B", "1200", "b<1>", "n&m", "s" };
        // A cell that fails its shape writes none of its row.
        QTest::newRow("currency sign first") << "x"
                                             << "¥12.50"
                                             << "b n旺旺"
                                             << "s d" << QStringList { "", "", "", "", "" };
        QTest::newRow("thousands separator") << "x"
                                             << "1,200"
                                             << "b n旺旺"
                                             << "s d" << QStringList { "", "", "", "", "" };
        QTest::newRow("empty status") << "x"
                                      << "8"
                                      << "b n旺旺"
                                      << "<A>详情</A>" << QStringList { "", "", "", "", "" };
    }
    void itemCells()
    {
        QFETCH(QString, title);
        QFETCH(QString, price);
        QFETCH(QString, buyerCell);
        QFETCH(QString, statusCell);
        QFETCH(QStringList, expected);
        TradeGrid grid;
        page_.table
            = Table({ HeaderRow("7"), ItemRow(title, price, "1", "", buyerCell, statusCell, "9", "r") });
        Extract(grid, false);
        QCOMPARE(grid.Rows(), 3);
        const QStringList actual { grid.TextMatrix(2, ColItem), grid.TextMatrix(2, ColUnitPrice),
            grid.TextMatrix(2, ColBuyer), grid.TextMatrix(2, ColName), grid.TextMatrix(2, ColStatus) };
        QCOMPARE(actual, expected);
    }

    void headerCells_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QStringList>("expected"); // order numbers, then the first time; empty: no row
        const QString time = QStringLiteral("2012-07-02 21:04:48");
        QTest::newRow("&nbsp; after the number")
            << "订单编号：210000007146&nbsp;成交时间：2012-07-02 21:04:48" << QStringList { "210000007146", time };
        QTest::newRow("no blank before the time")
            << "订单编号：210000007146成交时间：2012-07-02 21:04:48" << QStringList { "210000007146", time };
        QTest::newRow("blanks before the number") << "订单编号：&nbsp; 42\r\n成交时间： 2012-07-02 21:04:48"
                                                  << QStringList { "42", time };
        QTest::newRow("no digits adds no row") << "订单编号：&nbsp;成交时间：2012-07-02 21:04:48" << QStringList {};
        QTest::newRow("letters are not a number") << "订单编号：ABC 成交时间：2012-07-02 21:04:48" << QStringList {};
        QTest::newRow("digits then letters are not cut to the digits")
            << "订单编号：2100AB 成交时间：2012-07-02 21:04:48" << QStringList {};
        QTest::newRow("time in a cell of its own")
            << "订单编号：42</TD><TD>成交时间：2012-07-02 21:04:48" << QStringList { "42", time };
        QTest::newRow("time that is no time") << "订单编号：42 成交时间：昨天" << QStringList { "42", "" };
    }
    void headerCells()
    {
        QFETCH(QString, cell);
        QFETCH(QStringList, expected);
        const QString header = QStringLiteral("<TR><TD colspan=\"8\">%1</TD></TR>").arg(cell);
        // The same header twice: a trade without a number must not swallow
        // the items of the next one either.
        TradeGrid grid;
        page_.table = Table({ header, SimpleItemRow("a"), header, SimpleItemRow("b"), HeaderRow("9"),
            SimpleItemRow("c") });
        Extract(grid, false);
        const QStringList orders = OrderColumn(grid);
        QCOMPARE(orders.last(), QStringLiteral("9"));
        QCOMPARE(grid.TextMatrix(grid.Rows() - 1, ColItem), QStringLiteral("c"));
        if (expected.isEmpty()) {
            QCOMPARE(orders.size(), 1);
        } else {
            QCOMPARE(orders, (QStringList { expected.at(0), "9" }));
            QCOMPARE(grid.TextMatrix(2, ColTime), expected.at(1));
        }
        for (const QString& event : std::as_const(events_))
            QVERIFY2(!event.startsWith(QStringLiteral("fetch")) || event.mid(6).toULongLong() > 0, qPrintable(event));
    }

    void furtherItemsOfATrade_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<QStringList>("orders");
        QTest::newRow("two items") << 2 << QStringList { "1001", "1001_1", "1002" };
        QTest::newRow("three items") << 3 << QStringList { "1001", "1001_1", "1001_2", "1002" };
        QTest::newRow("eleven items")
            << 11
            << QStringList { "1001", "1001_1", "1001_2", "1001_3", "1001_4", "1001_5", "1001_6", "1001_7",
                   "1001_8", "1001_9", "1001_10", "1002" };
    }
    void furtherItemsOfATrade()
    {
        QFETCH(int, items);
        QFETCH(QStringList, orders);
        QStringList rows { HeaderRow("1001", "2024-03-02 08:00:01"), SimpleItemRow("帽子") };
        for (int i = 1; i < items; ++i)
            rows.append(ContinuationRow(QStringLiteral("围巾%1 长款").arg(i), "7.00", "2", "售后中"));
        rows += QStringList { HeaderRow("1002"), SimpleItemRow("手套") };
        page_.table = Table(rows);
        TradeGrid grid;
        Extract(grid, false);
        QCOMPARE(OrderColumn(grid), orders);
        for (int i = 1; i < items; ++i) {
            const int row = 2 + i;
            QCOMPARE(RowTexts(grid, row),
                (QStringList { QString::number(i + 1), orders.at(i), "2024-03-02 08:00:01", QStringLiteral("围巾%1").arg(i),
                    "7", "2", "售后中", "buyer1", "张三", "交易成功", "", "已评价" }));
            QCOMPARE(RowTexts(grid, row, 13, 22), RowTexts(grid, 2, 13, 22));
        }
    }

    void knownTradesAreSkipped()
    {
        TradeGrid grid;
        page_.table = Table({ HeaderRow("101"), SimpleItemRow("a1"), ContinuationRow("a2") });
        Extract(grid, false);
        QCOMPARE(OrderColumn(grid), (QStringList { "101", "101_1" }));
        events_.clear();
        // Read again with a new trade before and after the known one; the
        // known trade's further item must not attach to the trade above it.
        page_.table = Table({ HeaderRow("102"), SimpleItemRow("b1"), HeaderRow("101"), SimpleItemRow("a1"),
            ContinuationRow("a2"), HeaderRow("103"), SimpleItemRow("c1") });
        Extract(grid, false);
        QCOMPARE(OrderColumn(grid), (QStringList { "101", "101_1", "102", "103" }));
        QCOMPARE(grid.TextMatrix(4, ColItem), QStringLiteral("b1"));
        QCOMPARE(grid.TextMatrix(5, ColItem), QStringLiteral("c1"));
        // Only the new trades are downloaded, bottom-up.
        QCOMPARE(events_, (QStringList { "fetch 103", "fetch 102" }));
    }

    void knownTradesItemsNeverFillAnEarlierTrade()
    {
        // The first read ends with a trade whose item rows did not come.
        TradeGrid grid;
        page_.table = Table({ HeaderRow("101"), SimpleItemRow("a1"), ContinuationRow("a2"), HeaderRow("102") });
        Extract(grid, false);
        QCOMPARE(OrderColumn(grid), (QStringList { "101", "101_1", "102" }));
        QCOMPARE(grid.TextMatrix(4, ColItem), QString());
        // Read again: A's items follow A's (skipped) header and must not land in B.
        page_.table = Table({ HeaderRow("101"), SimpleItemRow("a1"), ContinuationRow("a2"), HeaderRow("102"),
            SimpleItemRow("b1") });
        Extract(grid, false);
        QCOMPARE(OrderColumn(grid), (QStringList { "101", "101_1", "102" }));
        QCOMPARE(grid.TextMatrix(4, ColItem), QString());
        QCOMPARE(grid.TextMatrix(4, ColAmount), QString());
        // Nor do item rows above the page's first header.
        page_.table
            = Table({ SimpleItemRow("x1"), ContinuationRow("x2"), HeaderRow("103"), SimpleItemRow("c1") });
        Extract(grid, false);
        QCOMPARE(OrderColumn(grid), (QStringList { "101", "101_1", "102", "103" }));
        QCOMPARE(grid.TextMatrix(4, ColItem), QString());
        QCOMPARE(grid.TextMatrix(5, ColItem), QStringLiteral("c1"));
    }

    void samePageTwiceAddsNothing()
    {
        TradeGrid grid;
        page_.table = Table({ HeaderRow("101"), SimpleItemRow("a1"), ContinuationRow("a2"), HeaderRow("102"),
            SimpleItemRow("b1") });
        Extract(grid, false);
        const QStringList first = OrderColumn(grid);
        Extract(grid, false);
        QCOMPARE(OrderColumn(grid), first);
    }

    void continuationAtTopOfPageIsIgnored()
    {
        TradeGrid grid;
        page_.table = Table({ HeaderRow("101"), SimpleItemRow("a1") });
        Extract(grid, false);
        page_.table = Table({ ContinuationRow("a2"), HeaderRow("102"), SimpleItemRow("b1") });
        Extract(grid, false);
        QCOMPARE(OrderColumn(grid), (QStringList { "101", "102" }));
    }

    void itemRowWithoutHeaderIsIgnored()
    {
        TradeGrid grid;
        page_.table
            = Table({ SimpleItemRow("orphan"), HeaderRow("101"), SimpleItemRow("a1"), SimpleItemRow("extra") });
        Extract(grid, false);
        QCOMPARE(grid.Rows(), 3);
        QCOMPARE(grid.TextMatrix(2, ColItem), QStringLiteral("a1"));
    }

    // A row of a shape the parser does not know inside a trade names the
    // trade and ends its items; rows of one cell are notes.
    void rowsOfOtherShapes_data()
    {
        QTest::addColumn<int>("cells");
        QTest::addColumn<bool>("named");
        for (const int cells : { 0, 1 })
            QTest::newRow(qPrintable(QStringLiteral("%1 cells").arg(cells))) << cells << false;
        for (const int cells : { 2, 3, 5, 6, 7, 8, 9 })
            QTest::newRow(qPrintable(QStringLiteral("%1 cells").arg(cells))) << cells << true;
    }
    void rowsOfOtherShapes()
    {
        QFETCH(int, cells);
        QFETCH(bool, named);
        TradeGrid grid;
        page_.table = Table({ HeaderRow("101"), CellsRow(cells), SimpleItemRow("a1"), ContinuationRow("a2"),
            HeaderRow("102"), SimpleItemRow("b1") });
        Extract(grid, false);
        QCOMPARE(OrderColumn(grid), named ? (QStringList { "101", "102" }) : (QStringList { "101", "101_1", "102" }));
        QCOMPARE(grid.TextMatrix(2, ColItem), named ? QString() : QStringLiteral("a1"));
        QCOMPARE(grid.TextMatrix(grid.Rows() - 1, ColItem), QStringLiteral("b1"));
        QCOMPARE(found_.join("").contains(QStringLiteral("订单编号 101")), named);
    }

    // Items belong to their own table body: those of a trade whose header
    // could not be read never join the trade above.
    void itemsStayInTheirTableBody()
    {
        TradeGrid grid;
        page_.table = Table({ HeaderRow("101"), SimpleItemRow("a1"), QStringLiteral("</TBODY><TBODY>"),
            HeaderRow("&nbsp;"), SimpleItemRow("b1"), ContinuationRow("b2") });
        Extract(grid, false);
        QCOMPARE(OrderColumn(grid), QStringList { "101" });
        QCOMPARE(grid.TextMatrix(2, ColItem), QStringLiteral("a1"));
        // The page lists two trades and read one: it is named.
        QVERIFY2(found_.join("").contains(QStringLiteral("列出 2 笔交易，读到 1 笔")),
            qPrintable(found_.join("")));
    }

    void headerRowWithoutOrderLabelIsIgnored()
    {
        TradeGrid grid;
        page_.table
            = Table({ QStringLiteral("<TR><TD>成交时间：x</TD></TR>"), HeaderRow("101"), SimpleItemRow("a") });
        Extract(grid, false);
        QCOMPARE(OrderColumn(grid), QStringList { "101" });
    }

    void tableHeadIsNotParsed()
    {
        TradeGrid grid;
        page_.table = QStringLiteral("<THEAD>") + CellsRow(1) + QStringLiteral("</THEAD>")
            + Table({ HeaderRow("101"), SimpleItemRow("a") });
        Extract(grid, false);
        QCOMPARE(OrderColumn(grid), QStringList { "101" });
    }

    void blankLastRowIsDropped_data()
    {
        QTest::addColumn<bool>("emptyTable");
        QTest::newRow("with trades") << false;
        QTest::newRow("empty table") << true;
    }
    void blankLastRowIsDropped()
    {
        QFETCH(bool, emptyTable);
        TradeGrid grid;
        page_.table = Table({ HeaderRow("101"), SimpleItemRow("a") });
        Extract(grid, false);
        grid.SetRows(grid.Rows() + 1);
        grid.SetTextMatrix(grid.Rows() - 1, ColItem, QStringLiteral("left over"));
        page_.table = emptyTable ? QString() : Table({ HeaderRow("102"), SimpleItemRow("b") });
        Extract(grid, false);
        QCOMPARE(OrderColumn(grid), emptyTable ? QStringList { "101" } : (QStringList { "101", "102" }));
        QCOMPARE(grid.TextMatrix(grid.Rows() - 1, ColSequence), QString::number(grid.Rows() - 2));
    }

    // A page's trades are counted from marks the reader does not read by;
    // one that reads fewer, or none without saying the list is empty, is
    // named, and so is every trade its script lists without a row.
    void pageCountsItsTradesFromOtherMarks_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("named"); // parts of the seller's lines, in order
        const QString script = QStringLiteral(
            "<SCRIPT>window.__DATA__ = {\"mainOrders\":[{\"orderId\":\"123456789012345\",\"createTime\":"
            "\"1709259630000\"},{\"orderId\":\"123456789012346\"}]};</SCRIPT>");
        QTest::newRow("table read whole")
            << Table({ HeaderRow("101"), SimpleItemRow("a") }) << QString() << QStringList();
        QTest::newRow("rows moved into a script") << Table(
            {}) << script << QStringList { "123456789012345", "123456789012346", "列出 2 笔交易，读到 0 笔" };
        QTest::newRow("one row in the table, two in the script")
            << Table({ HeaderRow("123456789012345"), SimpleItemRow("a") }) << script
            << QStringList { "123456789012346", "列出 2 笔交易，读到 1 笔" };
        QTest::newRow("the list says it is empty")
            << Table({ QStringLiteral("<TR><TD colspan=\"8\">没有符合条件的宝贝</TD></TR>") })
            << QStringLiteral("<TABLE id=\"J_ListTable\"><TR><TD>没有符合条件的宝贝</TD></TR></TABLE>") << QStringList();
        QTest::newRow("the empty-state element says it")
            << Table({}) << QStringLiteral("<TABLE id=\"J_ListTable\"></TABLE><DIV class=\"list-empty\">暂无订单</DIV>")
            << QStringList();
        QTest::newRow("an empty-list phrase only in a script or style")
            << Table({})
            << QStringLiteral("<STYLE>.x:after{content:\"暂无交易\"}</STYLE><SCRIPT>var tip = \"暂无订单\"; "
                              "window.__DATA__ = {\"list\":[{\"id\":\"123456789012345\"}]};</SCRIPT>"
                              "<TABLE id=\"J_ListTable\"></TABLE><P>暂无交易纠纷</P>")
            << QStringList { "页面也没有说列表是空的" };
        QTest::newRow("an empty table that says nothing")
            << Table({}) << QString() << QStringList { "页面也没有说列表是空的" };
        QTest::newRow("a status not known is to check")
            << Table({ HeaderRow("101"),
                   ItemRow("t", "1", "1", "", "b n旺旺", "交易关闭详情查看物流", "1", "") })
            << QString() << QStringList { "请核对：订单编号 101", "交易关闭详情查看物流" };
    }
    void pageCountsItsTradesFromOtherMarks()
    {
        QFETCH(QString, table);
        QFETCH(QString, body);
        QFETCH(QStringList, named);
        TradeGrid grid;
        page_.table = table;
        page_.body = body;
        Extract(grid, false);
        const QString lines = found_.join(QLatin1Char('\n'));
        qsizetype at = 0;
        for (const QString& part : named) {
            at = lines.indexOf(part, at);
            QVERIFY2(at >= 0, qPrintable(part + QLatin1Char('\n') + lines));
        }
        QCOMPARE(found_.isEmpty(), named.isEmpty());
    }

    void messageOnlyWhenGridHasNoTrade_data()
    {
        QTest::addColumn<bool>("tradeBefore");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("messages");
        QTest::newRow("empty grid, no table") << false << QString() << 1;
        QTest::newRow("empty grid, furniture only") << false << Table({ CellsRow(1) }) << 1;
        QTest::newRow("trade in grid, no table") << true << QString() << 0;
        QTest::newRow("empty grid, one trade") << false << Table({ HeaderRow("126"), SimpleItemRow("z") }) << 0;
    }
    void messageOnlyWhenGridHasNoTrade()
    {
        QFETCH(bool, tradeBefore);
        QFETCH(QString, table);
        QFETCH(int, messages);
        TradeGrid grid;
        if (tradeBefore) {
            page_.table = Table({ HeaderRow("101"), SimpleItemRow("a") });
            Extract(grid, false);
        }
        page_.table = table;
        Extract(grid, false);
        QCOMPARE(told_, QStringList(messages, kNoTrades));
    }

    void nextPage_data()
    {
        QTest::addColumn<bool>("extractAll");
        QTest::addColumn<bool>("hasNextLink");
        QTest::addColumn<bool>("disabled");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("clicks");
        QTest::newRow("walk, next link") << true << true << false << true << 1;
        QTest::newRow("walk, disabled link") << true << true << true << false << 0;
        QTest::newRow("walk, no link") << true << false << false << false << 0;
        QTest::newRow("single page never clicks") << false << true << false << false << 0;
    }
    void nextPage()
    {
        QFETCH(bool, extractAll);
        QFETCH(bool, hasNextLink);
        QFETCH(bool, disabled);
        QFETCH(bool, result);
        QFETCH(int, clicks);
        TradeGrid grid;
        if (hasNextLink)
            page_.findLink = NextLink(disabled, &events_);
        page_.table = Table({ HeaderRow("101"), SimpleItemRow("a") });
        QCOMPARE(Extract(grid, extractAll), result);
        QCOMPARE(page_.clicks, clicks);
        if (extractAll)
            QCOMPARE(page_.linkQueries, QStringList { "下一页|A" });
        // The next page opens while the page's details download; each of
        // them is fetched once all the same.
        QCOMPARE(events_.count(QStringLiteral("fetch 101")), 1);
        QCOMPARE(events_.count(QStringLiteral("click")), clicks);
        QCOMPARE(events_.size(), 1 + clicks);
    }

    void emptyTableNeitherClicksNorDownloads()
    {
        TradeGrid grid;
        page_.findLink = NextLink(false, &events_);
        QVERIFY(!Extract(grid, true));
        QCOMPARE(page_.clicks, 0);
        QVERIFY(events_.isEmpty());
    }

    void progressOnlyForASinglePage_data()
    {
        QTest::addColumn<bool>("extractAll");
        QTest::newRow("single page") << false;
        QTest::newRow("walk") << true;
    }
    void progressOnlyForASinglePage()
    {
        QFETCH(bool, extractAll);
        TradeGrid grid;
        page_.table = Table({ HeaderRow("101"), SimpleItemRow("a"), HeaderRow("102"), SimpleItemRow("b") });
        Extract(grid, extractAll);
        if (extractAll) {
            QCOMPARE(view_->loads, 0);
        } else {
            QCOMPARE(view_->message, QStringLiteral("正在下载物流信息...."));
            QCOMPARE(run_->progress.State().total, 2);
            QCOMPARE(run_->progress.State().position, 2);
            QCOMPARE(view_->unloads, 1);
        }
    }

    // Two pages in a row on one grid: the second page repeats trades of the
    // first, which must be skipped, as must their items.
    void sameGridAsThePlainWay()
    {
        QRandomGenerator random(20241207);
        for (int round = 0; round < 3000; ++round) {
            const QStringList pages { RandomPage(random), RandomPage(random) };
            TradeGrid grid;
            TradeGrid plain;
            SetUpTradeGrid(grid);
            SetUpTradeGrid(plain);
            for (const QString& page : pages) {
                ParseListTable(grid, page);
                plainlist::ParseListTable(plain, page);
            }
            bool same = grid.Rows() == plain.Rows();
            for (int r = 0; same && r < grid.Rows(); ++r)
                same = RowTexts(grid, r, 0, kShownTradeColumns - 1) == RowTexts(plain, r, 0, kShownTradeColumns - 1);
            if (!same)
                QFAIL(
                    qPrintable(QStringLiteral("pages differ:\n%1\n----\n%2").arg(pages.at(0), pages.at(1))));
        }
    }

    void sequenceContinuesAcrossPages()
    {
        TradeGrid grid;
        page_.table = Table({ HeaderRow("101"), SimpleItemRow("a"), ContinuationRow("a2") });
        Extract(grid, true);
        page_.table = Table({ HeaderRow("102"), SimpleItemRow("b") });
        Extract(grid, true);
        QCOMPARE(RowTexts(grid, 4, 1, 2), (QStringList { "3", "102" }));
    }

private:
    ScriptedPage page_;
    // Reads the shown page in a pass of its own, keeping what it tells;
    // true when it clicked "下一页".
    bool Extract(TradeGrid& grid, bool extractAll)
    {
        DetailDownloadPass pass;
        const PageExtraction page = ExtractTradePage(*run_, page_, grid, extractAll, pass);
        told_ += page.messages;
        FindingList findings = page.findings;
        if (extractAll)
            findings.Append(run_->details.TakeNamed().findings);
        for (const Finding& finding : findings.All())
            found_ += FindingLine(finding);
        return page.nextClicked;
    }

    RecordingPrompt prompt_;
    QStringList told_;
    QStringList found_; // the seller's line of every finding
    std::optional<RecordingProgressView> view_;
    std::optional<RunContext> run_;
    QStringList events_;
};

LUMETRA_TEST_GUILESS_MAIN(TestListParser)
#include "TestListParser.moc"

#include "core/downloads/DetailDownloadPass.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"
#include "core/session/Commands.h"
#include "core/session/RunContext.h"
#include "support/CommandTestSupport.h"
#include "support/DemoListPage.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"
#include <QTimer>

namespace {

// Data rows given as (status, amount) pairs, order numbers "T<n>".
void FillGrid(TradeGrid& grid, const QList<QPair<QString, QString>>& rows)
{
    SetUpTradeGrid(grid);
    grid.SetRows(grid.FixedRows());
    for (const auto& [status, amount] : rows) {
        const int r = grid.Rows();
        grid.SetRows(r + 1);
        grid.SetTextMatrix(r, ColOrderNumber, QStringLiteral("T%1").arg(r));
        grid.SetTextMatrix(r, ColStatus, status);
        grid.SetTextMatrix(r, ColAmount, amount);
    }
}

QStringList Column(const TradeGrid& grid, int col)
{
    QStringList texts;
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r)
        texts << grid.TextMatrix(r, col);
    return texts;
}

using commandtest::CountingLoadWatch;

// The demo's list as the browser shows it, but without its pager line.
class PagerlessListPage : public demolist::DemoListPage {
public:
    using DemoListPage::DemoListPage;
    QString BodyHtml() override
    {
        static const QRegularExpression pager(QStringLiteral("第[^<]*页"));
        return DemoListPage::BodyHtml().remove(pager);
    }
};

} // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        view = RecordingProgressView();
        run = std::make_unique<RunContext>();
        run->progress.SetView(&view);
    }
    void shopNick_data();
    void shopNick();
    void removeClosedTrades_data();
    void removeClosedTrades();
    void removeClosedOnGridNotSetUp();
    void clearKeepsFixedRows();
    void deleteSelectedRows_data();
    void deleteSelectedRows();
    void walkAllPages_data();
    void walkAllPages();
    void extractAllTotalFromPager_data();
    void extractAllTotalFromPager();
    void walkEndMessage_data();
    void walkEndMessage();

private:
    RecordingProgressView view;
    std::unique_ptr<RunContext> run;
};

void TestCommands::shopNick_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("nick");
    QTest::newRow("attribute and text") << "<DIV><SPAN class=\"user-nick\">  小店主 </SPAN></DIV>"
                                        << "小店主";
    QTest::newRow("last occurrence wins") << "<A class=user-nick>old</A><B id=\"user-nick\">new</B>"
                                          << "new";
    QTest::newRow("no marker") << "<DIV>nobody</DIV>"
                               << "";
    QTest::newRow("marker without element text") << "<SPAN class=user-nick>"
                                                 << "";
    QTest::newRow("empty page") << ""
                                << "";
}

void TestCommands::shopNick()
{
    QFETCH(QString, body);
    QFETCH(QString, nick);
    QCOMPARE(ShopNickFromBody(body), nick);
}

void TestCommands::removeClosedTrades_data()
{
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<QStringList>("kept");
    const QString closed = QStringLiteral("交易关闭");
    const QString done = QStringLiteral("交易成功");
    QTest::newRow("none closed") << QStringList { done, done } << QStringList { "T2", "T3" };
    QTest::newRow("adjacent closed rows")
        << QStringList { done, closed, closed, closed, done } << QStringList { "T2", "T6" };
    QTest::newRow("first and last") << QStringList { closed, done, closed } << QStringList { "T3" };
    QTest::newRow("exact text only") << QStringList { closed + QLatin1Char(' '), QStringLiteral("交易关闭中"),
        closed } << QStringList { "T2", "T3" };
    QTest::newRow("all closed") << QStringList { closed, closed } << QStringList {};
    QTest::newRow("empty grid") << QStringList {} << QStringList {};
}

void TestCommands::removeClosedTrades()
{
    QFETCH(QStringList, statuses);
    QFETCH(QStringList, kept);
    TradeGrid grid;
    QList<QPair<QString, QString>> rows;
    for (const QString& s : statuses)
        rows.append({ s, QStringLiteral("1") });
    FillGrid(grid, rows);

    const int removed = RemoveClosedTrades(run->progress, grid);
    QCOMPARE(removed, statuses.size() - kept.size());
    QCOMPARE(Column(grid, ColOrderNumber), kept);
    QCOMPARE(grid.Rows(), grid.FixedRows() + kept.size());
    // The progress counted every data row and the window is closed again.
    QCOMPARE(run->progress.State().message, QStringLiteral("正在查找并清除关闭的交易..."));
    QCOMPARE(run->progress.State().total, statuses.size());
    QCOMPARE(run->progress.State().position, statuses.size());
    QVERIFY(!view.loaded);
    QVERIFY(view.unloads >= 1);
}

void TestCommands::removeClosedOnGridNotSetUp()
{
    // A stored checked filter runs this before the grid is set up.
    TradeGrid grid;
    const int rowsBefore = grid.Rows();
    QCOMPARE(RemoveClosedTrades(run->progress, grid), 0);
    QCOMPARE(grid.Rows(), rowsBefore);
    QVERIFY(!ProgressWindowOpen(run->progress));
}

void TestCommands::clearKeepsFixedRows()
{
    TradeGrid grid;
    FillGrid(grid,
        { { QStringLiteral("交易成功"), QStringLiteral("5") },
            { QStringLiteral("a"), QStringLiteral("6") } });
    standin::RecordingPrompt prompt(true);
    QVERIFY(ClearTradeGrid(prompt, grid));
    QCOMPARE(prompt.questions, QStringList { QStringLiteral("表格中有 2 行尚未导出，确定清空？") });
    QCOMPARE(grid.Rows(), grid.FixedRows());
    QCOMPARE(grid.TextMatrix(1, ColOrderNumber), QStringLiteral("订单编号"));
    QCOMPARE(TotalLabelText(grid, true), QStringLiteral("交易总额：0元"));
}

void TestCommands::deleteSelectedRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("rowSel");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("one row") << 3 << 3 << QStringList { "T2", "T4", "T5" };
    QTest::newRow("range") << 2 << 4 << QStringList { "T5" };
    QTest::newRow("selected upwards") << 5 << 4 << QStringList { "T2", "T3" };
}

void TestCommands::deleteSelectedRows()
{
    QFETCH(int, row);
    QFETCH(int, rowSel);
    QFETCH(QStringList, kept);
    TradeGrid grid;
    FillGrid(grid, { { "a", "1" }, { "b", "2" }, { "c", "3" }, { "d", "4" } });
    grid.SetSelection(row, rowSel);
    DeleteSelectedRows(grid);
    QCOMPARE(Column(grid, ColOrderNumber), kept);
    // The rows that moved up were not picked: a second click deletes nothing.
    QVERIFY(std::max(grid.Row(), grid.RowSel()) < grid.FixedRows());
    DeleteSelectedRows(grid);
    QCOMPARE(Column(grid, ColOrderNumber), kept);
}

void TestCommands::walkAllPages_data()
{
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("closeAfterPass");
    QTest::addColumn<bool>("userCloses");
    QTest::addColumn<int>("unopenedPage");
    QTest::addColumn<int>("expectedPasses");
    QTest::addColumn<int>("expectedSteps");
    QTest::addColumn<WalkEnd>("expectedEnd");
    QTest::addColumn<int>("unreachableAfterPass"); // 0: the trade host answers
    QTest::addColumn<int>("failingLoads"); // next-page loads that fail for the network
    QTest::addColumn<int>("listWaitMs"); // how long a failed list page is waited for; -1: no limit
    // extract returns true while a next page was clicked: the last page
    // returns false and ends the walk.
    QTest::newRow("last page only") << 1 << 0 << true << 0 << 1 << 0 << WalkEnd::LastPage << 0 << 0 << 0;
    QTest::newRow("three pages") << 3 << 0 << true << 0 << 3 << 2 << WalkEnd::LastPage << 0 << 0 << 0;
    QTest::newRow("user closes during pass 2")
        << 5 << 2 << true << 0 << 2 << 1 << WalkEnd::StoppedByUser << 0 << 0 << 0;
    QTest::newRow("window closed by another operation")
        << 2 << 1 << false << 0 << 2 << 1 << WalkEnd::LastPage << 0 << 0 << 0;
    QTest::newRow("page 2 does not open")
        << 5 << 0 << true << 2 << 2 << 1 << WalkEnd::PageNotOpened << 0 << 0 << 0;
    // The page the user started on is not one the walk opened.
    QTest::newRow("first page no list") << 5 << 0 << true << 1 << 1 << 0 << WalkEnd::LastPage << 0 << 0 << 0;
    QTest::newRow("trade host given up in pass 2")
        << 5 << 0 << true << 0 << 2 << 1 << WalkEnd::MarketUnreachable << 2 << 0 << 0;
    // 停止 while the walk waits for the network: the host's message, not a plain stop.
    QTest::newRow("user stops the wait for the network")
        << 5 << 2 << true << 0 << 2 << 1 << WalkEnd::MarketUnreachable << 2 << 0 << 0;
    // A next page that fails for the network is loaded again until it comes,
    // or until the wait for the network runs out.
    QTest::newRow("page 2 fails twice, waited for")
        << 3 << 0 << true << 0 << 3 << 2 << WalkEnd::LastPage << 0 << 2 << -1;
    QTest::newRow("page 2 never loads, the wait runs out")
        << 3 << 0 << true << 0 << 1 << 1 << WalkEnd::MarketUnreachable << 0 << 1000 << 60;
}

void TestCommands::walkAllPages()
{
    QFETCH(int, pages);
    QFETCH(int, closeAfterPass);
    QFETCH(bool, userCloses);
    QFETCH(int, unopenedPage);
    QFETCH(int, expectedPasses);
    QFETCH(int, expectedSteps);
    QFETCH(WalkEnd, expectedEnd);
    QFETCH(int, unreachableAfterPass);
    QFETCH(int, failingLoads);
    QFETCH(int, listWaitMs);
    StartProgress(run->progress, QString::fromUtf8(kExtractingMessage), kExtractAllProgressTotal, 0);
    CountingLoadWatch watch;
    watch.failingLoads = failingLoads;
    bool waitShown = false;
    QTimer sampler;
    connect(&sampler, &QTimer::timeout,
        [&] { waitShown = waitShown || view.times.endsWith(QStringLiteral("/等待网络")); });
    sampler.start(2);
    int calls = 0;
    const WalkResult walk = WalkAllPages(
        run->progress,
        [&] {
            ++calls;
            if (calls == closeAfterPass) {
                if (userCloses)
                    view.UserCloses();
                else
                    CloseProgress(run->progress);
            }
            return calls < pages && calls != unopenedPage;
        },
        [&] { return calls != unopenedPage; }, watch, 1234,
        [&] { return unreachableAfterPass > 0 && calls >= unreachableAfterPass; },
        NetworkWait { .maxMs = listWaitMs, .probeEveryMs = 10 });
    QCOMPARE(walk.passes, expectedPasses);
    QCOMPARE(walk.end, expectedEnd);
    QCOMPARE(calls, expectedPasses);
    QCOMPARE(run->progress.State().position, expectedSteps);
    // Armed before every pass and every new try; waited for each next
    // page read and each try.
    QCOMPARE(watch.arms, expectedPasses + watch.retries);
    QCOMPARE(watch.waits, expectedSteps + watch.retries);
    QCOMPARE(watch.retries > 0, failingLoads > 0);
    if (failingLoads > 0 && expectedEnd == WalkEnd::LastPage)
        QCOMPARE(watch.retries, failingLoads);
    // While it waits, the times label says so.
    QCOMPARE(waitShown, failingLoads > 0);
    if (expectedSteps > 0)
        QCOMPARE(watch.lastTimeout, 1234);
    CloseProgress(run->progress);
}

void TestCommands::extractAllTotalFromPager_data()
{
    QTest::addColumn<int>("startPage");
    QTest::addColumn<bool>("pagerShown");
    QTest::addColumn<int>("expectedTotal");
    // Four pages: from page 2 three are left to read, from the last one.
    QTest::newRow("from page 2 of 4") << 2 << true << 3;
    QTest::newRow("last page") << 4 << true << 1;
    QTest::newRow("no pager: the described total") << 3 << false << kExtractAllProgressTotal;
}

void TestCommands::extractAllTotalFromPager()
{
    QFETCH(int, startPage);
    QFETCH(bool, pagerShown);
    QFETCH(int, expectedTotal);
    testsupport::DemoMarket market({ "--pages", "4", "--per-page", "2" });
    if (!market.ok())
        SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
    run = std::make_unique<RunContext>(RunServices { .endpoints = testsupport::TradeHostAt(market.base()) });
    run->progress.SetView(&view);
    QNetworkAccessManager& network = run->fetcher.Network();
    demolist::Get(network, market.url(QStringLiteral("/member/login.jhtml?TPL_username=demo")));
    std::unique_ptr<demolist::DemoListPage> page = pagerShown
        ? std::make_unique<demolist::DemoListPage>(network, market.base())
        : std::make_unique<PagerlessListPage>(network, market.base());
    for (int p = 1; p < startPage; ++p)
        page->FindLinkInPage(QStringLiteral("下一页"), true, QStringLiteral("A"));

    StartProgress(run->progress, QString::fromUtf8(kExtractingMessage), kExtractAllProgressTotal, 0);
    TradeGrid grid;
    CountingLoadWatch watch;
    DetailDownloadPass pass;
    const int passes = ExtractAllPages(*run, *page, grid, watch, pass, 1000).passes;
    QCOMPARE(passes, 4 - startPage + 1);
    QCOMPARE(run->progress.State().total, expectedTotal);
    // The counter ends one short of the pages read: the last one is not stepped.
    QCOMPARE(run->progress.State().position, passes - 1);
    QVERIFY(grid.Rows() > grid.FixedRows());
    CloseProgress(run->progress);
}

void TestCommands::walkEndMessage_data()
{
    QTest::addColumn<WalkEnd>("end");
    QTest::addColumn<QString>("message");
    QTest::newRow("last page") << WalkEnd::LastPage << QString();
    QTest::newRow("user's stop") << WalkEnd::StoppedByUser << QString();
    QTest::newRow("page not opened") << WalkEnd::PageNotOpened
                                     << QStringLiteral("第3页无法打开，提取已停止，已提取40笔交易。");
    QTest::newRow("page limit") << WalkEnd::PageLimit
                                << QStringLiteral("已提取3页，达到一次提取的页数上限，已提取40笔交易。");
    QTest::newRow("market unreachable")
        << WalkEnd::MarketUnreachable
        << QStringLiteral("无法连接淘宝（网络中断超过15秒），提取已停止：已读 3 页，已提取 40 笔交易。");
}

void TestCommands::walkEndMessage()
{
    QFETCH(WalkEnd, end);
    QFETCH(QString, message);
    QCOMPARE(WalkEndMessage(WalkResult { end, 3, 40 }), message);
}

LUMETRA_TEST_GUILESS_MAIN(TestCommands)
#include "TestCommands.moc"

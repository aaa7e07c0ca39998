// Extract-all on the demo marketplace with the detail pages downloaded
// several at a time: the grid is the one the one-after-another download
// gives, and a trade host that goes away mid-walk leaves no address
// silently blank.

#include "E2eSupport.h"
#include "support/DemoTruth.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

#include "core/downloads/DetailDownloadPass.h"
#include "core/downloads/DetailLedger.h"
#include "core/grid/TradeGrid.h"
#include "core/network/PageFetchJob.h"
#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"
#include "core/session/Commands.h"
#include "core/session/RunFactory.h"
#include "core/settings/DetailDownloadSetting.h"
#include "gui/window/BrowserLoadWatch.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>

namespace {

const QString kListPath = QStringLiteral("/trade/itemlist/list_sold_items.htm");

// Every cell of every row, and the row's height.
QList<QStringList> GridSnapshot(const TradeGrid& grid)
{
    QList<QStringList> rows;
    for (int r = 0; r < grid.Rows(); ++r) {
        QStringList row { QString::number(grid.RowHeight(r)) };
        for (int c = 0; c < grid.Cols(); ++c)
            row.append(grid.TextMatrix(r, c));
        rows.append(row);
    }
    return rows;
}

QJsonArray TruthTrades(const QString& path)
{
    return QJsonDocument::fromJson(testsupport::ReadFile(path))
        .object()
        .value(QStringLiteral("trades"))
        .toArray();
}

} // namespace

class TestDetailDownloads : public QObject {
    Q_OBJECT
private slots:
    void parallelGivesTheSequentialGrid();
    void outageMidWalk_data();
    void outageMidWalk();
    void hostGoneEndsTheWalk();

private:
    // The window's run, logged in, on the first list page.
    std::unique_ptr<e2e::WindowRun> LoggedInWindow(
        const testsupport::DemoMarket& market, UserPrompt& prompt, int downloads = 4, NetworkWait wait = {});
    // Clears the grid, shows the first list page and extracts all pages.
    bool ExtractAllFromFirstPage(MainWindow& window, const testsupport::DemoMarket& market);

    RecordingProgressView progress_;
};

std::unique_ptr<e2e::WindowRun> TestDetailDownloads::LoggedInWindow(
    const testsupport::DemoMarket& market, UserPrompt& prompt, int downloads, NetworkWait wait)
{
    auto windowRun = std::make_unique<e2e::WindowRun>(RunServices { .prompt = &prompt,
        .endpoints = e2e::DemoEndpoints(market.base()),
        .progressView = &progress_,
        .detailDownloads = downloads,
        .networkWait = wait });
    MainWindow& window = windowRun->Open();
    window.show();
    if (!e2e::LogIn(window, market.base(), windowRun->run.fetcher.CookieJar()) || !e2e::OpenSoldItems(window))
        return nullptr;
    return windowRun;
}

bool TestDetailDownloads::ExtractAllFromFirstPage(MainWindow& window, const testsupport::DemoMarket& market)
{
    window.Run(Command::Clear);
    if (window.Session().Grid().Rows() != window.Session().Grid().FixedRows())
        return false;
    WebBrowser& browser = e2e::Browser(window);
    if (!e2e::WaitForPage(browser, kListPath,
            [&] { browser.load(QUrl(market.url(kListPath + QStringLiteral("?page=1")))); }))
        return false;
    window.Run(Command::ExtractAll);
    return true;
}

void TestDetailDownloads::parallelGivesTheSequentialGrid()
{
    // Slow detail pages, a quarter of the requests failing (busy pages and
    // dropped connections): results arrive in another order with N = 4.
    QTemporaryDir dir;
    const QString truthPath = dir.filePath(QStringLiteral("truth.json"));
    testsupport::DemoMarket market({ "--pages", "2", "--per-page", "9", "--seed", "23", "--latency-ms", "120",
        "--fail-rate", "0.25", "--log-requests", "--dump-truth", truthPath });
    if (!market.ok())
        SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
    standin::RecordingPrompt prompt(true);
    // One run downloads one page at a time, the next four: each its own run.
    QList<QStringList> sequential;
    {
        auto oneByOne = LoggedInWindow(market, prompt, 1);
        QVERIFY(oneByOne);
        oneByOne->run.fetcher.SetFirstRetryPauseMs(100);
        QVERIFY(ExtractAllFromFirstPage(*oneByOne->window, market));
        sequential = GridSnapshot(oneByOne->window->Session().Grid());
    }
    auto windowRun = LoggedInWindow(market, prompt, 4);
    QVERIFY(windowRun);
    MainWindow* window = windowRun->window.get();
    windowRun->run.fetcher.SetFirstRetryPauseMs(100);
    const qsizetype logBefore = market.RequestLog().size();
    QVERIFY(ExtractAllFromFirstPage(*window, market));
    const QList<QStringList> parallel = GridSnapshot(window->Session().Grid());
    // The next list page is asked for as soon as page 1's trades are queued,
    // while their details download: by then not all nine were asked for.
    const QStringList log = market.RequestLog().mid(logBefore);
    const auto isNextPage = [](const QString& line) { return line.contains(QStringLiteral("htm?page=2")); };
    const qsizetype nextPage = std::find_if(log.cbegin(), log.cend(), isNextPage) - log.cbegin();
    QVERIFY2(nextPage < log.size(), qPrintable(log.join(QLatin1Char('\n'))));
    QSet<QString> askedBefore;
    for (const QString& line : log.mid(0, nextPage))
        if (line.contains(QStringLiteral("bizOrderId=")))
            askedBefore.insert(
                line.section(QStringLiteral("bizOrderId="), 1).section(QLatin1Char('&'), 0, 0));
    QVERIFY2(askedBefore.size() < 9, qPrintable(log.join(QLatin1Char('\n'))));

    QCOMPARE(parallel, sequential);
    QVERIFY2(prompt.messages.isEmpty(), qPrintable(prompt.messages.join(QLatin1Char('\n'))));
    // And it is the right grid: every trade has its own recipient.
    const QJsonArray trades = TruthTrades(truthPath);
    QCOMPARE(trades.size(), 18);
    for (const QJsonValue& value : trades) {
        const QJsonObject trade = value.toObject();
        const int row = window->Session().Grid().FindOrderRow(trade.value(QStringLiteral("orderNumber")).toString());
        QVERIFY(row >= window->Session().Grid().FixedRows());
        QCOMPARE(window->Session().Grid().TextMatrix(row, 13), demotruth::ExpectedDetails(trade).at(0));
    }
}

void TestDetailDownloads::outageMidWalk_data()
{
    QTest::addColumn<int>("outageSeconds");
    QTest::addColumn<int>("firstPauseMs");
    QTest::addColumn<bool>("allRecovered");
    QTest::addColumn<QStringList>("answer"); // how the outage answers; none: connections closed
    QTest::addColumn<bool>("waitForNetwork"); // as the window waits: until the user stops
    // Attempts 1, 2, 4 and 8 s apart outlast a three-second outage.
    QTest::newRow("short outage") << 3 << 1000 << true << QStringList() << false;
    // The trade host stays away until after the walk and its second try.
    QTest::newRow("outage past the walk") << 120 << 20 << false << QStringList() << false;
    // A server busy for 20 s is waited out like one that is away.
    QTest::newRow("503 for 20 s, waited out")
        << 20 << 1000 << true << QStringList { "--outage-status", "503" } << true;
}

void TestDetailDownloads::outageMidWalk()
{
    QFETCH(int, outageSeconds);
    QFETCH(int, firstPauseMs);
    QFETCH(bool, allRecovered);
    QFETCH(QStringList, answer);
    QFETCH(bool, waitForNetwork);
    QTemporaryDir dir;
    const QString truthPath = dir.filePath(QStringLiteral("truth.json"));
    testsupport::DemoMarket market(QStringList { "--pages", "2", "--per-page", "8", "--seed", "5",
                                       "--latency-ms", "50", "--outage-after", "5", "--outage-seconds",
                                       QString::number(outageSeconds), "--dump-truth", truthPath }
        + answer);
    if (!market.ok())
        SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
    standin::RecordingPrompt prompt;
    auto windowRun = LoggedInWindow(market, prompt, 4, waitForNetwork ? WaitUntilStopped() : NetworkWait {});
    QVERIFY(windowRun);
    MainWindow* window = windowRun->window.get();
    windowRun->run.fetcher.SetFirstRetryPauseMs(firstPauseMs);
    window->Run(Command::ExtractAll);

    const TradeGrid& grid = window->Session().Grid();
    QStringList missing;
    const QJsonArray trades = TruthTrades(truthPath);
    QCOMPARE(trades.size(), 16);
    for (const QJsonValue& value : trades) {
        const QJsonObject trade = value.toObject();
        const QString order = trade.value(QStringLiteral("orderNumber")).toString();
        const int row = grid.FindOrderRow(order);
        QVERIFY2(row >= grid.FixedRows(), qPrintable(order));
        if (grid.TextMatrix(row, 13) != demotruth::ExpectedDetails(trade).at(0))
            missing.append(order);
    }
    if (allRecovered) {
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char(' '))));
        QVERIFY(prompt.messages.isEmpty());
        return;
    }
    // Eleven trades came after the outage began; one message names them.
    QCOMPARE(missing.size(), 11);
    const QStringList failed = windowRun->run.details.FailedOrders();
    QCOMPARE(QSet<QString>(failed.begin(), failed.end()), QSet<QString>(missing.begin(), missing.end()));
    QCOMPARE(prompt.messages, QStringList { FailedDetailsMessage(failed) });
    QVERIFY(prompt.messages.first().contains(QStringLiteral("11 笔交易")));
    for (const QString& order : failed.mid(0, kOrdersNamedInMessage))
        QVERIFY(prompt.messages.first().contains(order));
}

void TestDetailDownloads::hostGoneEndsTheWalk()
{
    // The trade host goes away during page 1 of 3; given up after 1 s.
    testsupport::DemoMarket market({ "--pages", "3", "--per-page", "8", "--seed", "5", "--latency-ms", "50",
        "--outage-after", "5", "--outage-seconds", "120" });
    if (!market.ok())
        SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
    standin::RecordingPrompt prompt;
    auto windowRun = LoggedInWindow(market, prompt);
    QVERIFY(windowRun);
    windowRun->run.fetcher.SetFirstRetryPauseMs(200);
    MainWindow& window = *windowRun->window;
    BrowserLoadWatch watch(&e2e::Browser(window));
    DetailDownloadPass pass(60, 1000);
    const WalkResult walk
        = ExtractAllPages(windowRun->run, e2e::Browser(window), window.Session().Grid(), watch, pass);
    QCOMPARE(walk.end, WalkEnd::MarketUnreachable);
    QCOMPARE(WalkEndMessage(walk),
        QStringLiteral("无法连接淘宝（网络中断超过15秒），提取已停止：已读 1 页，已提取 8 笔交易。"));
    QCOMPARE(walk.details.failed.size(), 3);
}

LUMETRA_TEST_MAIN(TestDetailDownloads)
#include "TestDetailDownloads.moc"

#include "core/batch/BatchExport.h"
#include "core/batch/ConsolePrompt.h"
#include "core/batch/ConsoleReport.h"
#include "core/batch/FindingsReport.h"
#include "support/CommandTestSupport.h"
#include "support/DemoListPage.h"
#include "support/DemoTruth.h"
#include "support/ExportTestSupport.h"
#include "support/TestSupport.h"
#include "support/XlsxReadBack.h"

#include "core/export/ExportGrid.h"
#include "core/export/ExportMessages.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/network/SharedCookieJar.h"
#include "core/session/Commands.h"
#include "core/session/RunContext.h"
#include "core/settings/SettingsStore.h"
#include "core/text/AnsiCodec.h"

#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QSet>
#include <cstdio>

using demolist::DemoListPage;

namespace {

// Everything written to a stream, read back.
QString StreamText(FILE* stream)
{
    std::fflush(stream);
    std::rewind(stream);
    QByteArray bytes;
    char buffer[4096];
    while (const size_t n = std::fread(buffer, 1, sizeof buffer, stream))
        bytes.append(buffer, qsizetype(n));
    return QString::fromLocal8Bit(bytes);
}

ListPageArrival ArrivedAt(const QString& url)
{
    ListPageArrival arrival;
    arrival.reason.clear();
    arrival.url = QUrl(url);
    arrival.title = QStringLiteral("已卖出的宝贝");
    return arrival;
}

void StoreFilterClosed(const QString& value)
{
    testsupport::StoreSetting(QStringLiteral("CHK_0"), value);
}

bool IsClosed(const QJsonObject& trade)
{
    return demotruth::FirstWord(trade.value("status").toString()) == QStringLiteral("交易关闭");
}

// The grid rows the shop's trades leave: one per item, closed trades
// dropped when asked; merged, one per recipient and waybill, and closed
// trades' items unmerged.
int ExpectedRows(const QJsonArray& trades, bool dropClosed, bool merged)
{
    int items = 0;
    int unmerged = 0;
    QSet<QStringList> shipments;
    for (const QJsonValue& value : trades) {
        const QJsonObject trade = value.toObject();
        if (dropClosed && IsClosed(trade))
            continue;
        const int itemRows = int(trade.value("items").toArray().size());
        items += itemRows;
        const QStringList details = demotruth::ExpectedDetails(trade);
        if (IsClosed(trade))
            unmerged += itemRows;
        else
            shipments.insert(QStringList { details.at(0) } + details.mid(3));
    }
    return merged ? int(shipments.size()) + unmerged : items;
}

} // namespace

class TestBatchExport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void refusedBeforeTheWalk_data();
    void refusedBeforeTheWalk();
    void writesTheWalkedList_data();
    void writesTheWalkedList();
    void terminalReportRewritesThePageLineAndPromptAnswersNo();
    void writesTheCourierSheet_data();
    void writesTheCourierSheet();
    void exitStatusFollowsWalkAndFindings_data();
    void exitStatusFollowsWalkAndFindings();
    void findingsToldCountsFirstNotesGrouped_data();
    void findingsToldCountsFirstNotesGrouped();

private:
    BatchResult Export(BrowserPage& page, const ListPageArrival& arrival, const BatchOptions& options);

    std::unique_ptr<testsupport::DemoMarket> market_;
    QNetworkAccessManager session_; // the browser's, logged in
    QJsonArray trades_;
    commandtest::CountingLoadWatch watch_;
    commandtest::FixedWidthMeasurer measurer_;
    // The run of the latest export, kept for its grid.
    std::optional<ConsoleReport> report_;
    std::optional<ConsolePrompt> prompt_;
    std::optional<RunContext> run_;
    std::optional<CommandSession> commands_;
    FILE* stream_ = nullptr;
    QTemporaryDir dir_;
};

void TestBatchExport::initTestCase()
{
    const QString truth = dir_.filePath(QStringLiteral("truth.json"));
    market_ = std::make_unique<testsupport::DemoMarket>(
        QStringList { "--pages", "2", "--per-page", "5", "--seed", "2", "--parcels-to-ship", "--dump-truth", truth });
    if (!market_->ok())
        SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
    trades_ = QJsonDocument::fromJson(testsupport::ReadFile(truth)).object().value("trades").toArray();
    QCOMPARE(trades_.size(), 10);
    // Closed trades and shared parcels make every variant differ.
    QVERIFY(ExpectedRows(trades_, true, false) < ExpectedRows(trades_, false, false));
    QVERIFY(ExpectedRows(trades_, false, true) < ExpectedRows(trades_, false, false));
    demolist::Get(session_, market_->url(QStringLiteral("/member/login.jhtml?TPL_username=demo")));
}

void TestBatchExport::init()
{
    watch_ = commandtest::CountingLoadWatch();
    stream_ = std::tmpfile();
    StoreFilterClosed(QStringLiteral("0"));
}

void TestBatchExport::cleanup()
{
    commands_.reset();
    run_.reset();
    prompt_.reset();
    report_.reset();
    std::fclose(stream_);
}

BatchResult TestBatchExport::Export(
    BrowserPage& page, const ListPageArrival& arrival, const BatchOptions& options)
{
    // Each run starts on a new grid.
    commands_.reset();
    run_.reset();
    prompt_.reset();
    report_.emplace(stream_, false);
    prompt_.emplace(*report_);
    RunContext& run = run_.emplace(RunServices { .prompt = &*prompt_,
        .endpoints = testsupport::TradeHostAt(market_->base()),
        .measurer = &measurer_ });
    // The browser's login reaches the page fetches through their jar.
    for (const QNetworkCookie& cookie : session_.cookieJar()->cookiesForUrl(QUrl(market_->base())))
        run.fetcher.CookieJar().AddCookie(cookie);
    commands_.emplace(run, page, watch_, nullptr, BatchSessionHooks(options, run.settings, *report_));
    return ExportFromListPage(*commands_, page, arrival, options, *report_);
}

void TestBatchExport::refusedBeforeTheWalk_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("told");
    const QString list = QStringLiteral("/trade/itemlist/list_sold_items.htm");
    QTest::newRow("list ended on the demo's login page")
        << "/member/login.jhtml?redirectURL=x" << true << false << "daily.csv" << 2 << "登录";
    QTest::newRow("list ended on the marketplace's login host")
        << "https://login.taobao.com/member/login.jhtml?redirectURL=x" << true << true << "daily.csv" << 2
        << "请打开本软件一次";
    QTest::newRow("login address that did not load: a stopped marketplace")
        << "/member/login.jhtml?redirectURL=x" << false << true << "daily.csv" << 3 << "没有打开";
    QTest::newRow("list did not load")
        << list << false << true << "daily.csv" << 3 << "没有打开（连接被拒绝）";
    QTest::newRow("page without the list table")
        << list << true << false << "daily.xlsx" << 3 << "J_ListTable";
    QTest::newRow("folder of the file missing")
        << list << true << true << "gone/daily.csv" << 1 << "所在的文件夹不存在";
}

void TestBatchExport::refusedBeforeTheWalk()
{
    QFETCH(QString, url);
    QFETCH(bool, loaded);
    QFETCH(bool, loggedIn);
    QFETCH(QString, target);
    QFETCH(int, status);
    QFETCH(QString, told);
    // Without the session the demo answers the list with a redirect only.
    QNetworkAccessManager stranger;
    DemoListPage page(loggedIn ? session_ : stranger, market_->base());
    ListPageArrival arrival = ArrivedAt(url.startsWith('/') ? market_->url(url) : url);
    arrival.reason = loaded ? QString() : QStringLiteral("连接被拒绝");
    const QString file = dir_.filePath(target);
    QVERIFY(testsupport::WriteFile(dir_.filePath(QStringLiteral("daily.csv")), "yesterday"));

    BatchOptions options;
    options.exportPath = file;
    const BatchResult result = Export(page, arrival, options);
    QCOMPARE(result.exitStatus, status);
    QVERIFY2(result.closingLine.contains(told), qPrintable(result.closingLine));
    QCOMPARE(page.pagesLoaded, 1);
    QCOMPARE(watch_.arms, 0); // no page was read
    QCOMPARE(testsupport::ReadFile(dir_.filePath(QStringLiteral("daily.csv"))), QByteArray("yesterday"));
    QVERIFY(!QFileInfo::exists(dir_.filePath(QStringLiteral("daily.xlsx"))));
}

void TestBatchExport::writesTheWalkedList_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("storedFilter");
    QTest::addColumn<int>("filterFlag"); // -1 none, 0 --keep-closed, 1 --filter-closed
    QTest::addColumn<bool>("merge");
    QTest::addColumn<bool>("dropsClosed");
    QTest::newRow("csv, the stored box drops closed trades") << "a.CSV"
                                                             << "1" << -1 << false << true;
    QTest::newRow("workbook, flag keeps closed trades, merged") << "a.xlsx"
                                                                << "1" << 0 << true << false;
    QTest::newRow("workbook, flag drops closed trades, merged") << "a.xls"
                                                                << "0" << 1 << true << true;
}

void TestBatchExport::writesTheWalkedList()
{
    QFETCH(QString, name);
    QFETCH(QString, storedFilter);
    QFETCH(int, filterFlag);
    QFETCH(bool, merge);
    QFETCH(bool, dropsClosed);
    StoreFilterClosed(storedFilter);
    DemoListPage page(session_, market_->base());
    const QString file = dir_.filePath(name);
    BatchOptions options;
    options.exportPath = file;
    if (filterFlag >= 0)
        options.filterClosed = filterFlag == 1;
    options.merge = merge;

    const BatchResult result = Export(page, ArrivedAt(market_->url(QStringLiteral("/list"))), options);
    const int rows = ExpectedRows(trades_, dropsClosed, merge);
    const int closed = int(std::count_if(
        trades_.begin(), trades_.end(), [](const QJsonValue& t) { return IsClosed(t.toObject()); }));
    QCOMPARE(result.exitStatus, 0);
    QCOMPARE(result.closingLine,
        QStringLiteral("完成：提取 10 笔交易%1，%2 %3 行，已写入 %4")
            .arg(dropsClosed ? QStringLiteral("，去掉关闭交易 %1 笔").arg(closed) : QString(),
                merge ? QStringLiteral("合并后") : QStringLiteral("共"))
            .arg(rows)
            .arg(file));
    QCOMPARE(commands_->Grid().Rows() - commands_->Grid().FixedRows(), rows);
    QCOMPARE(StreamText(stream_), QStringLiteral("第 1 页，已提取 5 笔交易\n第 2 页，已提取 10 笔交易\n"));
    QCOMPARE(watch_.waits, 1);
    // The file holds the titles and every row left in the grid.
    if (IsCsvFileName(file)) {
        const QString csv = DecodeAnsi(testsupport::ReadFile(file));
        QCOMPARE(csv.count(QStringLiteral("\r\n")), 2 + rows);
        QVERIFY(csv.contains(commands_->Grid().TextMatrix(commands_->Grid().Rows() - 1, ColOrderNumber)));
    } else {
        const exporttest::XlsxBook book = exporttest::ReadXlsx(file);
        QVERIFY(book.ok);
        QCOMPARE(book.sheetName, QString::fromUtf8(kExportSheetName));
        QVERIFY(book.cells.contains(exporttest::CellRef(2 + rows, 1)));
        QVERIFY(!book.cells.contains(exporttest::CellRef(3 + rows, 1)));
    }
    QFile::remove(file);
}

void TestBatchExport::writesTheCourierSheet_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("sender"); // --sender-name; empty: none given, none stored
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("told");
    QTest::newRow("workbook beside the sheet") << "k.xlsx" << "小店" << 0 << "快递导入表（分列地址）4 个包裹已写入";
    QTest::newRow("an xls name, refused before the walk") << "k.xls" << "小店" << 1 << ".xlsx";
    QTest::newRow("no sender, refused before the walk") << "k.xlsx" << "" << 1 << "寄件人的姓名";
}

void TestBatchExport::writesTheCourierSheet()
{
    QFETCH(QString, name);
    QFETCH(QString, sender);
    QFETCH(int, status);
    QFETCH(QString, told);
    DemoListPage page(session_, market_->base());
    BatchOptions options;
    options.exportPath = dir_.filePath(QStringLiteral("day.csv"));
    options.courierSheetPath = dir_.filePath(name);
    if (!sender.isEmpty())
        options.senderName = sender;
    options.senderPhone = QStringLiteral("0571-12345678");
    options.senderAddress = QStringLiteral("浙江省 杭州市 西湖区 文三路7号");
    for (const QString& earlier : { options.exportPath, options.courierSheetPath })
        QFile::remove(earlier);
    const BatchResult result = Export(page, ArrivedAt(market_->url(QStringLiteral("/list"))), options);
    QCOMPARE(result.exitStatus, status);
    QVERIFY2(result.closingLine.contains(told), qPrintable(result.closingLine));
    if (status != 0) {
        QCOMPARE(watch_.arms, 0); // refused before any page was read
        QVERIFY(!QFileInfo::exists(options.courierSheetPath) && !QFileInfo::exists(options.exportPath));
        return;
    }
    // One row per parcel to ship: each trade to ship of the shop is on it
    // once, with the phone and address a reader writes for it.
    const exporttest::XlsxBook book = exporttest::ReadXlsx(options.courierSheetPath);
    QVERIFY(book.ok && !book.anyFormula);
    QMap<QString, QStringList> rowOfOrder;
    for (int row = 2; book.cells.contains(exporttest::CellRef(row, 1)); ++row) {
        QStringList cells;
        for (int col = 1; col <= 18; ++col)
            cells.append(book.cells.value(exporttest::CellRef(row, col)).value);
        for (const QString& order : cells.at(17).split(QStringLiteral("、")))
            rowOfOrder.insert(order, cells);
    }
    int toShip = 0;
    for (const QJsonValue& value : std::as_const(trades_)) {
        const QJsonObject trade = value.toObject();
        const QString status = demotruth::FirstWord(trade.value("status").toString());
        if (status != QStringLiteral("买家已付款") && status != QStringLiteral("等待卖家发货"))
            continue;
        ++toShip;
        const QStringList cells = rowOfOrder.value(trade.value("orderNumber").toString());
        const QStringList details = demotruth::ExpectedDetails(trade);
        QCOMPARE(cells.value(0), details.at(0));
        QCOMPARE(cells.value(1), details.at(1));
        QCOMPARE(cells.value(4), details.at(5));
        QCOMPARE(cells.value(13), QStringLiteral("浙江省"));
    }
    QCOMPARE(toShip, rowOfOrder.size());
    QCOMPARE(toShip, 6); // the parcel of three is one row of four
}

void TestBatchExport::terminalReportRewritesThePageLineAndPromptAnswersNo()
{
    ConsoleReport report(stream_, true);
    ConsolePrompt prompt(report);
    report.PageRead(1, 20);
    report.PageRead(2, 40);
    report.Line(QStringLiteral("完成"));
    prompt.ShowMessage(QStringLiteral("文件保存出错！"));
    QVERIFY(!prompt.AskYesNo(QStringLiteral("该文件已存在，是否覆盖？")));
    QCOMPARE(StreamText(stream_),
        QStringLiteral("\r第 1 页，已提取 20 笔交易\x1b[K\r第 2 页，已提取 40 笔交易\x1b[K\n完成\n"
                       "文件保存出错！\n该文件已存在，是否覆盖？ → 否\n"));
}

LUMETRA_TEST_GUILESS_MAIN(TestBatchExport)

void TestBatchExport::exitStatusFollowsWalkAndFindings_data()
{
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("passes");
    QTest::addColumn<int>("finding"); // severity of one finding; -1 for none
    QTest::addColumn<QString>(
        "walkState"); // f(ailed download), s(ession ended in downloads), e(mpty list said)
    QTest::addColumn<int>("trades");
    QTest::addColumn<int>("status");
    const int last = int(WalkEnd::LastPage);
    QTest::newRow("whole") << last << 3 << -1 << "" << 10 << 0;
    QTest::newRow("notes only") << last << 3 << int(FindingSeverity::Note) << "" << 10 << 0;
    QTest::newRow("to check") << last << 3 << int(FindingSeverity::ToCheck) << "" << 10 << 5;
    QTest::newRow("refused") << last << 3 << int(FindingSeverity::Refused) << "" << 10 << 5;
    QTest::newRow("downloads failed") << last << 3 << -1 << "f" << 10 << 4;
    // The status that means the most missing data wins.
    QTest::newRow("failed downloads outweigh a refusal")
        << last << 3 << int(FindingSeverity::Refused) << "f" << 10 << 4;
    QTest::newRow("failed downloads outweigh a field to check")
        << last << 3 << int(FindingSeverity::ToCheck) << "f" << 10 << 4;
    QTest::newRow("failed downloads outweigh a later page unreadable")
        << int(WalkEnd::PageUnreadable) << 2 << int(FindingSeverity::Refused) << "f" << 10 << 4;
    QTest::newRow("a note beside failed downloads") << last << 3 << int(FindingSeverity::Note) << "f" << 10 << 4;
    QTest::newRow("an ended session outweighs failed downloads and refusals")
        << last << 3 << int(FindingSeverity::Refused) << "fs" << 10 << 2;
    QTest::newRow("session ended on a list page") << int(WalkEnd::SessionExpired) << 2 << -1 << "" << 10 << 2;
    QTest::newRow("session ended in the last page's downloads") << last << 3 << -1 << "fs" << 10 << 2;
    QTest::newRow("first page unreadable")
        << int(WalkEnd::PageUnreadable) << 1 << int(FindingSeverity::Refused) << "" << 0 << 3;
    QTest::newRow("later page unreadable")
        << int(WalkEnd::PageUnreadable) << 2 << int(FindingSeverity::Refused) << "" << 10 << 5;
    QTest::newRow("empty sheet, the list did not say so") << last << 1 << -1 << "" << 0 << 3;
    QTest::newRow("empty list said so") << last << 1 << -1 << "e" << 0 << 0;
    QTest::newRow("page did not open") << int(WalkEnd::PageNotOpened) << 2 << -1 << "" << 10 << 1;
}

void TestBatchExport::exitStatusFollowsWalkAndFindings()
{
    QFETCH(int, end);
    QFETCH(int, passes);
    QFETCH(int, finding);
    QFETCH(QString, walkState);
    QFETCH(int, trades);
    QFETCH(int, status);
    WalkResult walk;
    walk.end = WalkEnd(end);
    walk.passes = passes;
    walk.listSaidEmpty = walkState.contains(u'e');
    if (walkState.contains(u'f'))
        walk.details.failed = QStringList { QStringLiteral("7001") };
    walk.details.sessionExpired = walkState.contains(u's');
    FindingList findings;
    if (finding >= 0)
        findings.Add(TradeFinding(QStringLiteral("7002"), FindingKind::FieldShape, ColMobile,
            QStringLiteral("138"), FindingSeverity(finding)));
    QCOMPARE(int(ExitStatusOf(walk, findings, trades)), status);
}

void TestBatchExport::findingsToldCountsFirstNotesGrouped_data()
{
    QTest::addColumn<int>("masked"); // trades with a masked mobile (notes)
    QTest::addColumn<int>("refused"); // trades with a refused mobile
    QTest::addColumn<bool>("file"); // a notes file can be written
    QTest::addColumn<QString>("counts");
    QTest::addColumn<int>("namedInLine"); // order numbers on the masked-mobile line
    QTest::newRow("a few notes, named on their line") << 3 << 0 << true << "核对结果：提示 3 笔交易、1 页。" << 3;
    QTest::newRow("many notes: the first on the line, all in the file")
        << 412 << 1 << true << "核对结果：未写入 1 笔交易，提示 412 笔交易、1 页。" << 20;
    QTest::newRow("many notes, no file: all on the line") << 25 << 2 << false
                                                          << "核对结果：未写入 2 笔交易，提示 25 笔交易、1 页。" << 25;
}

// A shop of privacy numbers must not bury the one trade left unwritten: the
// counts come first, the refusals next, the notes last, one line per kind.
void TestBatchExport::findingsToldCountsFirstNotesGrouped()
{
    QFETCH(int, masked);
    QFETCH(int, refused);
    QFETCH(bool, file);
    QFETCH(QString, counts);
    QFETCH(int, namedInLine);
    FindingList findings;
    for (int i = 0; i < masked; ++i) {
        findings.Add(TradeFinding(QString::number(5000 + i), FindingKind::MaskedMobile, ColMobile,
            QStringLiteral("138****%1").arg(1000 + i), FindingSeverity::Note));
        if (i < refused) // refusals come among the notes, as a walk finds them
            findings.Add(TradeFinding(QString::number(7000 + i), FindingKind::FieldShape, ColMobile,
                QStringLiteral("12"), FindingSeverity::Refused));
    }
    findings.Add(PageFinding(2, FindingKind::PageShort, QStringLiteral("第 2 页少了"), FindingSeverity::Note));
    const QString notesFile = file ? NotesFileBeside(dir_.filePath(QStringLiteral("day.xlsx"))) : QString();
    QVERIFY(notesFile.isEmpty() || notesFile == dir_.filePath(QStringLiteral("day-提示.txt")));
    const FindingsReport told = ReportFindings(findings, notesFile);
    // counts, one line per refusal, the masked-mobile group, the page's note
    QCOMPARE(told.lines.size(), 1 + refused + 1 + 1);
    QCOMPARE(told.lines.first(), counts);
    for (int i = 0; i < refused; ++i)
        QVERIFY2(told.lines.at(1 + i).startsWith(QStringLiteral("未写入：订单编号 %1").arg(7000 + i)),
            qPrintable(told.lines.at(1 + i)));
    const QString group = told.lines.at(1 + refused);
    QVERIFY2(group.startsWith(QStringLiteral("提示：%1 笔交易的手机号码被隐藏，已照原样写入：订单编号 5000、5001").arg(masked)),
        qPrintable(group));
    QCOMPARE(int(group.count(QStringLiteral("、")) + 1), namedInLine);
    QCOMPARE(group.contains(QString::number(5000 + namedInLine - 1)), true);
    QCOMPARE(group.contains(QString::number(5000 + namedInLine)), false);
    const bool cut = namedInLine < masked;
    QCOMPARE(group.contains(notesFile) && !notesFile.isEmpty(), cut);
    // The whole list holds every trade of the group with what was seen.
    QCOMPARE(int(told.noteList.count(QLatin1Char('\n'))), cut ? masked : 0);
    if (cut)
        QVERIFY(told.noteList.contains(QStringLiteral("订单编号 %1：手机号码被隐藏“138****%2”").arg(5000 + masked - 1).arg(1000 + masked - 1)));
    QVERIFY(told.lines.last().contains(QStringLiteral("第 2 页")));
}

#include "TestBatchExport.moc"

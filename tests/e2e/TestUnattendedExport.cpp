// The unattended export as a scheduler runs it: the real program in its own
// process, without a display, on the profile a window logged in with.
#include "E2eSupport.h"
#include "support/DemoTruth.h"
#include "support/ExportTestSupport.h"
#include "support/PdfReading.h"
#include "support/TestSupport.h"

#include "core/base/ProfileLock.h"
#include "core/history/TradeHistory.h"
#include "core/grid/GridSetup.h"
#include "core/settings/SettingsStore.h"
#include "core/text/AnsiCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

namespace {

const QString kProgramName = QStringLiteral("lumetra-trades");
const QString kWindowExportMode = QStringLiteral("--window-export");

// The window's exports of one shop: all trades, then without the closed
// ones, then merged.
const QString kAllFile = QStringLiteral("window-all.csv");
const QString kOpenFile = QStringLiteral("window-open.csv");
const QString kMergedFile = QStringLiteral("window-merged.csv");

void StoreFilterClosed(bool checked)
{
    SaveRegSetting(QString::fromLatin1(kSettingsApp), QString::fromLatin1(kSettingsSection),
        QStringLiteral("CHK_0"), checked ? QStringLiteral("1") : QStringLiteral("0"));
}

// A child process of this test: logs in through the window's browser as a
// seller does, extracts every page and exports as the window's buttons do.
// Its profile and settings are the test's (same home, same program name).
int WindowExportMain(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(kProgramName);
    const QString base = QString::fromLocal8Bit(argv[2]);
    const QDir dir(QString::fromLocal8Bit(argv[3]));
    SilentPrompt prompt;
    e2e::WindowRun windowRun(prompt, base);
    exporttest::ScriptedSaveDialog dialog;
    MainWindow& window = windowRun.Open({ .saveDialog = &dialog });
    window.show();
    if (!e2e::LogIn(window, base, windowRun.run.fetcher.CookieJar()) || !e2e::OpenSoldItems(window))
        return 10;
    const auto exportTo = [&](const QString& name) {
        dialog.path = dir.filePath(name);
        window.Run(Command::Export);
    };
    window.Run(Command::ExtractAll);
    exportTo(kAllFile);
    window.Run(Command::RemoveClosed);
    exportTo(kOpenFile);
    window.Run(Command::Merge);
    exportTo(kMergedFile);
    return 0;
}

struct RunResult {
    int exitStatus = -1;
    QStringList errorLines;
};

// Runs program with args and no display at all, in the test's home.
RunResult Run(const QString& program, const QStringList& args, int timeoutMs = 90000)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(env);
    process.start(program, args);
    RunResult result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    result.errorLines = errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    result.exitStatus = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

// The data rows of an exported CSV, each cell keyed by its column title.
QList<QHash<QString, QString>> CsvRecords(const QString& path)
{
    const QString text = DecodeAnsi(testsupport::ReadFile(path));
    QList<QStringList> lines(1);
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted && c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
            field += c;
            ++i;
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && (c == u',' || c == u'\r')) {
            lines.last().append(field.chopped(field.endsWith(u'\t') ? 1 : 0));
            field.clear();
            if (c == u'\r') {
                lines.append(QStringList());
                ++i; // its LF
            }
        } else {
            field += c;
        }
    }
    QList<QHash<QString, QString>> records;
    QStringList titles;
    for (const QStringList& line : lines) {
        if (titles.isEmpty()) {
            if (line.contains(QStringLiteral("订单编号")))
                titles = line;
            continue;
        }
        QHash<QString, QString> record;
        for (qsizetype c = 0; c < line.size() && c < titles.size(); ++c)
            record.insert(titles.at(c), line.at(c).startsWith(u'\'') ? line.at(c).mid(1) : line.at(c));
        if (!record.value(QStringLiteral("订单编号")).isEmpty())
            records.append(record);
    }
    return records;
}

} // namespace

class TestUnattendedExport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exportsWhatTheWindowExports_data();
    void exportsWhatTheWindowExports();
    void notLoggedInWritesNothing();
    void unreachableMarketLeavesFileAsItWas();
    void misshapenPagesAreNamedNeverWrittenWrong_data();
    void misshapenPagesAreNamedNeverWrittenWrong();
    void secondRunOnProfileRefused();
    void writesTheDaysShippingDocuments();
    void nextDayDownloadsOnlyWhatCanChange();

private:
    QStringList ListArgs(const QString& base, const QString& file) const;

    QString program_;
    std::unique_ptr<testsupport::DemoMarket> market_;
    QTemporaryDir dir_;
};

void TestUnattendedExport::initTestCase()
{
    QCoreApplication::setApplicationName(kProgramName);
    program_ = qEnvironmentVariable("LUMETRA_TRADES");
    market_ = std::make_unique<testsupport::DemoMarket>(
        QStringList { "--pages", "2", "--per-page", "5", "--seed", "2", "--log-requests", "--dump-truth",
            dir_.filePath(QStringLiteral("truth.json")) });
    if (program_.isEmpty() || !market_->ok())
        SKIP_OR_FAIL_WITHOUT_DEMO("program or demo marketplace not available");
    StoreFilterClosed(false);
    // Logs in once through the window and keeps its exports for comparison.
    QProcess window;
    window.start(
        QCoreApplication::applicationFilePath(), { kWindowExportMode, market_->base(), dir_.path() });
    QVERIFY(window.waitForFinished(90000));
    QCOMPARE(window.exitCode(), 0);
    // The shop has closed trades and shared parcels, so the three differ.
    const QByteArray all = testsupport::ReadFile(dir_.filePath(kAllFile));
    const QByteArray open = testsupport::ReadFile(dir_.filePath(kOpenFile));
    const QByteArray merged = testsupport::ReadFile(dir_.filePath(kMergedFile));
    QVERIFY(all.size() > open.size());
    QVERIFY(open.size() > merged.size());
}

QStringList TestUnattendedExport::ListArgs(const QString& base, const QString& file) const
{
    return { QStringLiteral("--export"), file, QStringLiteral("--start-url"),
        base + QStringLiteral("/trade/itemlist/list_sold_items.htm"), QStringLiteral("--trade-base"), base };
}

void TestUnattendedExport::exportsWhatTheWindowExports_data()
{
    QTest::addColumn<bool>("storedFilter");
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<QString>("windowFile");
    QTest::newRow("flag keeps closed trades over the stored box")
        << true << QStringList { "--keep-closed" } << kAllFile;
    QTest::newRow("stored box drops closed trades, merged")
        << true << QStringList { "--merge" } << kMergedFile;
    QTest::newRow("flag drops closed trades over the stored box")
        << false << QStringList { "--filter-closed" } << kOpenFile;
}

void TestUnattendedExport::exportsWhatTheWindowExports()
{
    QFETCH(bool, storedFilter);
    QFETCH(QStringList, flags);
    QFETCH(QString, windowFile);
    StoreFilterClosed(storedFilter);
    const QString file = dir_.filePath(QStringLiteral("batch.csv"));
    QFile::remove(file);

    const RunResult run = Run(program_, ListArgs(market_->base(), file) + flags);
    QVERIFY2(run.exitStatus == 0, qPrintable(run.errorLines.join('\n')));
    QCOMPARE(testsupport::ReadFile(file), testsupport::ReadFile(dir_.filePath(windowFile)));
    // One plain line per page (stderr is no terminal here), then the outcome naming the file.
    QVERIFY2(run.errorLines.contains(QStringLiteral("第 1 页，已提取 5 笔交易")),
        qPrintable(run.errorLines.join('\n')));
    QVERIFY(run.errorLines.contains(QStringLiteral("第 2 页，已提取 10 笔交易")));
    QVERIFY(run.errorLines.last().startsWith(QStringLiteral("完成：提取 10 笔交易")));
    QVERIFY(run.errorLines.last().endsWith(file));
    QVERIFY(!run.errorLines.join('\n').contains(QLatin1Char('\r')));
}

void TestUnattendedExport::notLoggedInWritesNothing()
{
    // A marketplace that has never seen this profile's session.
    testsupport::DemoMarket fresh({ "--pages", "1", "--per-page", "2" });
    QVERIFY(fresh.ok());
    const QString file = dir_.filePath(QStringLiteral("never.xlsx"));
    const RunResult run = Run(program_, ListArgs(fresh.base(), file));
    QCOMPARE(run.exitStatus, 2);
    QVERIFY2(run.errorLines.last().contains(QStringLiteral("登录")), qPrintable(run.errorLines.join('\n')));
    QVERIFY(!QFileInfo::exists(file));
}

void TestUnattendedExport::unreachableMarketLeavesFileAsItWas()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("daily.csv"));
    QVERIFY(testsupport::WriteFile(file, "yesterday's sheet"));
    const RunResult run = Run(program_, ListArgs(testsupport::RefusedBase(), file));
    QCOMPARE(run.exitStatus, 3);
    QVERIFY2(
        run.errorLines.last().contains(QStringLiteral("没有打开")), qPrintable(run.errorLines.join('\n')));
    QCOMPARE(testsupport::ReadFile(file), QByteArray("yesterday's sheet"));
    QCOMPARE(exporttest::Entries(folder.path()), QStringList { QStringLiteral("daily.csv") });
}

void TestUnattendedExport::misshapenPagesAreNamedNeverWrittenWrong_data()
{
    QTest::addColumn<QStringList>("shop");
    QTest::addColumn<int>("status");
    QTest::newRow("every kind of misshapen page") << QStringList { "--misshape" } << 5;
    QTest::newRow("session ends after the first page") << QStringList { "--expire-after-pages", "1" } << 2;
}

// Every exported cell is the shop's or empty with its trade named; no trade
// is missing unnamed; the pages a careful reader reads whole are not named.
void TestUnattendedExport::misshapenPagesAreNamedNeverWrittenWrong()
{
    QFETCH(QStringList, shop);
    QFETCH(int, status);
    const QString truthPath = dir_.filePath(QStringLiteral("misshapen.json"));
    testsupport::DemoMarket market(QStringList { "--pages", "2", "--per-page", "10", "--seed", "7", "--any-session",
                                       "--log-requests", "--dump-truth", truthPath }
        + shop);
    QVERIFY(market.ok());
    const QString file = dir_.filePath(QStringLiteral("misshapen.csv"));
    QFile::remove(file);
    const RunResult run = Run(program_, ListArgs(market.base(), file) + QStringList { "--keep-closed", "--no-history" });
    const QString told = run.errorLines.join('\n');
    QVERIFY2(run.exitStatus == status, qPrintable(told));
    if (status == 2) {
        QVERIFY2(told.contains(QStringLiteral("登录已过期，请重新登录后再提取：已读 1 页，已提取 10 笔交易")), qPrintable(told));
        QVERIFY(!QFileInfo::exists(file));
        // The first page's details were in before the next page was opened.
        QVERIFY(!told.contains(QStringLiteral("未能下载")));
        QCOMPARE(market.RequestLog().filter(QStringLiteral("bizOrderId=")).size(), 10);
        return;
    }

    const QJsonArray trades = QJsonDocument::fromJson(testsupport::ReadFile(truthPath)).object().value("trades").toArray();
    double total = 0;
    QHash<QString, QStringList> expected;
    for (const QStringList& row : demotruth::ExpectedRows(trades, false, &total))
        expected.insert(row.at(1), row);
    const QStringList readWhole { "address-reordered", "address-separators", "status-nbsp", "address-without-telephone",
        "header-split", "no-method-line", "status-no-blank", "unpaid-twin" };
    QSet<QString> present;
    const QStringList titles = TradeGridTitles();
    for (const QHash<QString, QString>& record : CsvRecords(file)) {
        const QString order = record.value(QStringLiteral("订单编号"));
        QVERIFY2(expected.contains(order) && !present.contains(order), qPrintable(order));
        present.insert(order);
        const bool named = told.contains(order.section(QLatin1Char('_'), 0, 0));
        for (int col = ColOrderNumber; col <= ColWaybill; ++col) {
            const QString cell = record.value(titles.at(col));
            const QString want = expected.value(order).at(col - 1);
            QVERIFY2(cell == want || (cell.isEmpty() && named),
                qPrintable(QStringLiteral("%1 %2: \"%3\", not \"%4\"").arg(order, titles.at(col), cell, want)));
        }
    }
    for (const QJsonValue& value : trades) {
        const QJsonObject trade = value.toObject();
        const QString order = trade.value("orderNumber").toString();
        const bool named = told.contains(order);
        QVERIFY2(present.contains(order) || named, qPrintable(order));
        const QString kind = trade.value("misshape").toString();
        if (!kind.isEmpty())
            QVERIFY2(named != readWhole.contains(kind), qPrintable(kind + QLatin1Char(' ') + order));
    }
}

void TestUnattendedExport::secondRunOnProfileRefused()
{
    ProfileLock window;
    QVERIFY(window.TryLock());
    const QString file = dir_.filePath(QStringLiteral("second.csv"));
    const RunResult run = Run(program_, ListArgs(market_->base(), file));
    QCOMPARE(run.exitStatus, 1);
    QCOMPARE(run.errorLines.last(), QString::fromUtf8(kProfileInUseText));
    QVERIFY(!QFileInfo::exists(file));
}

void TestUnattendedExport::nextDayDownloadsOnlyWhatCanChange()
{
    QFile::remove(DefaultTradeHistoryPath());
    QSet<QString> canChange; // trades not ended: their details are fetched every day
    const QJsonArray trades = QJsonDocument::fromJson(testsupport::ReadFile(dir_.filePath(QStringLiteral("truth.json"))))
                                  .object()
                                  .value(QStringLiteral("trades"))
                                  .toArray();
    for (const QJsonValue& t : trades) {
        const QString status = demotruth::FirstWord(t.toObject().value(QStringLiteral("status")).toString());
        if (status != QStringLiteral("交易成功") && status != QStringLiteral("交易关闭"))
            canChange.insert(t.toObject().value(QStringLiteral("orderNumber")).toString());
    }
    QVERIFY(!canChange.isEmpty() && canChange.size() < trades.size());
    const auto exportTo = [&](const QString& name, const QStringList& flags) {
        const int before = int(market_->RequestLog().size());
        const RunResult run = Run(program_, ListArgs(market_->base(), dir_.filePath(name)) + flags);
        QSet<QString> asked;
        static const QRegularExpression order(QStringLiteral("bizOrderId=(\\d+)"));
        for (const QString& request : market_->RequestLog().mid(before))
            if (const QRegularExpressionMatch m = order.match(request); m.hasMatch())
                asked.insert(m.captured(1));
        return std::make_pair(run, asked);
    };
    const auto [first, firstAsked] = exportTo(QStringLiteral("day1.csv"), { "--keep-closed" });
    QCOMPARE(first.exitStatus, 0);
    QCOMPARE(firstAsked.size(), trades.size());
    // The next day, a new process on the same profile: only what can change is downloaded.
    const auto [second, secondAsked] = exportTo(QStringLiteral("day2.csv"), { "--keep-closed" });
    QCOMPARE(second.exitStatus, 0);
    QCOMPARE(secondAsked, canChange);
    QVERIFY2(second.errorLines.last().contains(
                 QStringLiteral("（%1 笔详情来自历史记录）").arg(trades.size() - canChange.size())),
        qPrintable(second.errorLines.last()));
    const auto [plain, plainAsked] = exportTo(QStringLiteral("plain.csv"), { "--keep-closed", "--no-history" });
    QCOMPARE(plainAsked.size(), trades.size());
    const QByteArray day1 = testsupport::ReadFile(dir_.filePath(QStringLiteral("day1.csv")));
    QVERIFY(!day1.isEmpty());
    QCOMPARE(testsupport::ReadFile(dir_.filePath(QStringLiteral("day2.csv"))), day1);
    QCOMPARE(testsupport::ReadFile(dir_.filePath(QStringLiteral("plain.csv"))), day1);
}

// A shop of several pages: the picking list sums the shop's paid, unshipped
// goods per item, options and price; one slip per parcel of the merged sheet.
void TestUnattendedExport::writesTheDaysShippingDocuments()
{
    const QString truthPath = dir_.filePath(QStringLiteral("documents.json"));
    testsupport::DemoMarket market(QStringList { "--pages", "3", "--per-page", "10", "--seed", "11", "--any-session",
        "--dump-truth", truthPath });
    QVERIFY(market.ok());
    const QString sheet = dir_.filePath(QStringLiteral("documents.csv"));
    const QString picking = dir_.filePath(QStringLiteral("picking.pdf"));
    const QString slips = dir_.filePath(QStringLiteral("slips.pdf"));
    const RunResult run = Run(program_,
        ListArgs(market.base(), sheet)
            + QStringList { "--merge", "--no-history", "--picking-list", picking, "--packing-slips", slips,
                "--slip-paper", "100x150" });
    QVERIFY2(run.exitStatus == 0, qPrintable(run.errorLines.join('\n')));

    const QStringList toShip { QStringLiteral("买家已付款"), QStringLiteral("等待卖家发货") };
    struct Sum {
        qint64 quantity = 0;
        QSet<QString> orders;
    };
    QMap<QString, Sum> sums; // title, options, price: what the picking list's row begins with
    QSet<QString> pickedOrders;
    for (const QJsonValue& value : QJsonDocument::fromJson(testsupport::ReadFile(truthPath)).object().value("trades").toArray()) {
        const QJsonObject trade = value.toObject();
        if (!toShip.contains(demotruth::FirstWord(trade.value("status").toString()))
            || trade.value("recipient").toString().isEmpty())
            continue;
        for (const QJsonValue& item : trade.value("items").toArray()) {
            const QJsonObject i = item.toObject();
            QString key = i.value("title").toString() + i.value("options").toString()
                + demotruth::Number(i.value("price").toString()); // as the grid writes prices
            Sum& sum = sums[key.remove(u' ').normalized(QString::NormalizationForm_KC)];
            sum.quantity += i.value("quantity").toInt();
            sum.orders.insert(trade.value("orderNumber").toString());
            pickedOrders.insert(trade.value("orderNumber").toString());
        }
    }
    QVERIFY(sums.size() > 3);
    qint64 total = 0;
    const QString pickingText = testsupport::PdfText(picking);
    for (auto it = sums.cbegin(); it != sums.cend(); ++it) {
        const QString row = it.key() + QString::number(it->quantity) + QString::number(it->orders.size());
        QVERIFY2(pickingText.contains(row), qPrintable(row + QLatin1Char('\n') + pickingText));
        total += it->quantity;
    }
    QVERIFY(pickingText.contains(QStringLiteral("合计%1%2").arg(total).arg(pickedOrders.size())));

    // Every merged row still to ship with a recipient is one parcel.
    int parcels = 0;
    for (const QHash<QString, QString>& record : CsvRecords(sheet)) {
        const QStringList statuses = record.value(QStringLiteral("交易状态")).split(QStringLiteral("\r\n"));
        parcels += std::all_of(statuses.cbegin(), statuses.cend(), [&](const QString& s) { return toShip.contains(s); })
                && !record.value(QStringLiteral("收件人")).isEmpty();
    }
    const QString slipText = testsupport::PdfText(slips);
    QVERIFY(parcels > 1);
    QCOMPARE(slipText.count(QStringLiteral("发货单")) - slipText.count(QStringLiteral("发货单(续)")), parcels);
    for (const QString& pdf : { picking, slips })
        QVERIFY(testsupport::FontsEmbedded(pdf));
    QVERIFY(testsupport::PdfTool(QStringLiteral("pdfinfo"), { slips }).contains(QRegularExpression("Page size: +283(\\.\\d+)? x 425")));
    QVERIFY(testsupport::PdfTool(QStringLiteral("pdfinfo"), { picking }).contains(QRegularExpression("Page size: +595(\\.\\d+)? x 842")));
}

int main(int argc, char* argv[])
{
    if (argc == 4 && QString::fromLocal8Bit(argv[1]) == kWindowExportMode)
        return WindowExportMain(argc, argv);
    testsupport::UseTemporaryHome();
    QApplication app(argc, argv);
    TestUnattendedExport test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "TestUnattendedExport.moc"

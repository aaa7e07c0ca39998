// The unattended export as a scheduler runs it: the real program in its own
// process, without a display, on the profile a window logged in with.
#include "E2eSupport.h"
#include "support/DemoTruth.h"
#include "support/ExportTestSupport.h"
#include "support/PdfReading.h"
#include "support/TestSupport.h"

#include "core/base/ProfileLock.h"
#include "core/history/TradeHistory.h"
#include "core/packcheck/ParcelMarks.h"
#include "core/grid/GridSetup.h"
#include "core/settings/SettingsStore.h"
#include "core/text/AnsiCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

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
    testsupport::StoreSetting(QStringLiteral("CHK_0"), checked ? QStringLiteral("1") : QStringLiteral("0"));
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

constexpr const char* kLogLinePrefix = "log: ";

// The lines standard error gives the seller: the log's own lines left out.
QString SellerLines(const RunResult& run)
{
    QStringList lines;
    for (const QString& line : run.errorLines)
        if (!line.startsWith(QLatin1String(kLogLinePrefix)))
            lines.append(line);
    return lines.join(QLatin1Char('\n'));
}

// Whether a "提示：" line of told names order for reason (the notes come
// grouped, one line per kind).
bool NotedAs(const QString& told, const QString& reason, const QString& order)
{
    for (const QString& line : told.split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("提示：")) && line.contains(reason) && line.contains(order))
            return true;
    return false;
}

// The seller's standard error in its order: the counts first, every line
// that needs a look before the notes, the closing line in the status's own
// words and without an empty count.
QString StandardErrorShapeFault(const QString& told, int status)
{
    const QStringList lines = told.split(QLatin1Char('\n'));
    const qsizetype counts = lines.indexOf(QRegularExpression(QStringLiteral("核对结果：.*")));
    qsizetype lastLook = -1;
    qsizetype firstNote = lines.size();
    qsizetype firstFinding = lines.size();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool look = lines[i].startsWith(QStringLiteral("未写入：")) || lines[i].startsWith(QStringLiteral("请核对："));
        const bool note = lines[i].startsWith(QStringLiteral("提示："));
        if (look)
            lastLook = i;
        if (note)
            firstNote = std::min(firstNote, i);
        if (look || note)
            firstFinding = std::min(firstFinding, i);
    }
    if (firstFinding < lines.size() && (counts < 0 || counts > firstFinding))
        return QStringLiteral("no count line before the findings");
    if (lastLook > firstNote)
        return QStringLiteral("a line to look at after the notes");
    const QHash<int, QString> words { { 0, QStringLiteral("完成：") }, { 4, QStringLiteral("已写入，但有交易缺详情：") },
        { 5, QStringLiteral("已写入，但有需要核对的地方：") } };
    if (words.contains(status) && !lines.last().startsWith(words.value(status)))
        return QStringLiteral("closing line without its status's words");
    if (lines.last().contains(QStringLiteral("0 页需要核对")) || lines.last().contains(QStringLiteral("（0 笔交易")))
        return QStringLiteral("an empty count in the closing line");
    if (told.contains(QStringLiteral("请在下面网页")))
        return QStringLiteral("the window's wording");
    return QString();
}

// Runs program with args and no display at all, in the test's home.
RunResult Run(const QString& program, const QStringList& args, int timeoutMs = 90000)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Log lines are told apart from the seller's lines by their prefix.
    env.insert(QStringLiteral("QT_MESSAGE_PATTERN"),
        QString::fromLatin1(kLogLinePrefix) + QStringLiteral("%{message}"));
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
    void mutatedShopsAreNamedNeverWrittenWrong_data();
    void mutatedShopsAreNamedNeverWrittenWrong();
    void secondRunOnProfileRefused();
    void writesTheDaysShippingDocuments();
    void notesOnTheSheetOnlyWhenAskedAndOnEverySlip();
    void nextDayDownloadsOnlyWhatCanChange();
    void fullDiskIsToldAsSuch_data();
    void fullDiskIsToldAsSuch();
    void commandLineSpeaksChinese();

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
    // The browser engine's start-up diagnostics are in the log, not in a
    // scheduler's mail.
    QCOMPARE(run.errorLines.size(), 1);
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
    QTest::addColumn<QString>("ended"); // an ended session: how the walk ended
    QTest::addColumn<int>("detailRequests"); // an ended session: detail pages asked for
    QTest::addColumn<bool>("earlierKept"); // the file of an earlier run stays as it was
    // With --verbose, the log's lines too (the tool's own).
    QTest::newRow("every kind of misshapen page, verbose")
        << QStringList { "--misshape" } << 5 << QString() << 0 << false;
    // The first page's details are in before the session ends with the next.
    QTest::newRow("session ends after the first page")
        << QStringList { "--expire-after-pages", "1" } << 2
        << QStringLiteral("登录已过期，请重新登录后再提取：已读 1 页，已提取 10 笔交易") << 10 << true;
    // The first login page ends the session: the four requests out end,
    // nothing more is asked for, nothing is written.
    QTest::newRow("login page for details")
        << QStringList { "--login-details" } << 2
        << QStringLiteral("登录已过期，请重新登录后再提取：已读 0 页") << 4 << true;
    QTest::newRow("trades move into a script from page 2")
        << QStringList { "--rows-in-script", "2" } << 5 << QString() << 0 << false;
    QTest::newRow("trades in a script from page 1")
        << QStringList { "--rows-in-script", "1" } << 3 << QString() << 0 << true;
    QTest::newRow("a shop of top-ups only") << QStringList { "--virtual-shop" } << 0 << QString() << 0 << false;
    // No history tells that the pages had the section; the parcels on their
    // way do.
    QTest::newRow("a renamed shipping section, without history")
        << QStringList { "--renamed-section" } << 5 << QString() << 0 << false;
    // Masked and virtual mobiles, country codes, room numbers, municipalities,
    // new districts and the pickers' zones and directly administered
    // counties: every cell the shop's, nothing refused or to check.
    QTest::newRow("everyday address forms")
        << QStringList { "--address-forms" } << 0 << QString() << 0 << false;
}

// Every exported cell is the shop's or empty with its trade named; no trade
// is missing unnamed; the pages a careful reader reads whole are not named.
void TestUnattendedExport::misshapenPagesAreNamedNeverWrittenWrong()
{
    QFETCH(QStringList, shop);
    QFETCH(int, status);
    QFETCH(QString, ended);
    QFETCH(int, detailRequests);
    QFETCH(bool, earlierKept);
    const QString truthPath = dir_.filePath(QStringLiteral("misshapen.json"));
    testsupport::DemoMarket market(QStringList { "--pages", "2", "--per-page", "10", "--seed", "7", "--any-session",
                                       "--log-requests", "--dump-truth", truthPath }
        + shop);
    QVERIFY(market.ok());
    const QString file = dir_.filePath(QStringLiteral("misshapen.csv"));
    QVERIFY(testsupport::WriteFile(file, "yesterday's sheet"));
    const bool verbose = QString::fromLatin1(QTest::currentDataTag()).endsWith(QLatin1String("verbose"));
    const RunResult run = Run(program_,
        ListArgs(market.base(), file) + QStringList { "--keep-closed", "--no-history" }
            + (verbose ? QStringList { "--verbose" } : QStringList()));
    const QString told = SellerLines(run);
    const QString& stderrText = told;
    QVERIFY2(run.exitStatus == status, qPrintable(run.errorLines.join('\n')));
    // The log's lines reach standard error only when asked for.
    QCOMPARE(run.errorLines.join('\n').contains(QLatin1String(kLogLinePrefix)), verbose);
    const QString shapeFault = StandardErrorShapeFault(told, status);
    QVERIFY2(shapeFault.isEmpty(), qPrintable(shapeFault + QLatin1Char('\n') + told));
    QCOMPARE(testsupport::ReadFile(file) == QByteArray("yesterday's sheet"), earlierKept);
    if (status == 3) {
        QVERIFY2(told.contains(QStringLiteral("第 1 页")), qPrintable(told));
        QVERIFY2(told.contains(QStringLiteral("请打开本软件")), qPrintable(told));
        return;
    }
    if (status == 2) {
        QVERIFY2(told.contains(ended), qPrintable(told));
        // No detail page that could come was left out.
        if (detailRequests == 10)
            QVERIFY(!told.contains(QStringLiteral("未能下载")));
        QCOMPARE(market.RequestLog().filter(QStringLiteral("bizOrderId=")).size(), detailRequests);
        return;
    }

    const QJsonArray trades = QJsonDocument::fromJson(testsupport::ReadFile(truthPath)).object().value("trades").toArray();
    double total = 0;
    QHash<QString, QStringList> expected;
    for (const QStringList& row : demotruth::ExpectedRows(trades, false, &total))
        expected.insert(row.at(1), row);
    const QStringList readWhole { "address-reordered", "address-separators", "status-nbsp",
        "address-without-telephone", "header-split", "no-method-line", "status-no-blank", "unpaid-twin",
        "status-paragraph", "parcels-lines", "parcels-headings", "street-not-province" };
    QSet<QString> present;
    const QStringList titles = TradeGridTitles();
    for (const QHash<QString, QString>& record : CsvRecords(file)) {
        const QString order = record.value(QStringLiteral("订单编号"));
        QVERIFY2(expected.contains(order) && !present.contains(order), qPrintable(order));
        present.insert(order);
        const bool named = stderrText.contains(order.section(QLatin1Char('_'), 0, 0));
        for (int col = ColOrderNumber; col <= ColWaybill; ++col) {
            const QString cell = record.value(titles.at(col));
            const QString want = expected.value(order).at(col - 1);
            QVERIFY2(cell == want || (cell.isEmpty() && named),
                qPrintable(QStringLiteral("%1 %2: \"%3\", not \"%4\"").arg(order, titles.at(col), cell, want)));
        }
    }
    int forms = 0;
    for (const QJsonValue& value : trades) {
        const QJsonObject trade = value.toObject();
        const QString order = trade.value("orderNumber").toString();
        const bool named = stderrText.contains(order);
        QVERIFY2(present.contains(order) || named, qPrintable(order));
        const QString kind = trade.value("misshape").toString();
        if (!kind.isEmpty())
            QVERIFY2(named != readWhole.contains(kind), qPrintable(kind + QLatin1Char(' ') + order));
        const QString form = trade.value("addressForm").toString();
        forms += form.isEmpty() ? 0 : 1;
        // Everyday forms are read whole, named at most in a note: a masked mobile.
        const bool noted = NotedAs(told, QStringLiteral("手机号码被隐藏"), order);
        QVERIFY2(form.isEmpty()
                || (present.contains(order) && !told.contains(QStringLiteral("未写入：订单编号 ") + order)
                    && !told.contains(QStringLiteral("请核对：订单编号 ") + order)
                    && noted == form.startsWith(QStringLiteral("masked-mobile"))),
            qPrintable(form + QLatin1Char(' ') + order + QLatin1Char('\n') + told));
        // Everyday pages are read whole: a top-up is a note, never a refusal.
        if (status == 0)
            QVERIFY2(present.contains(order) && !told.contains(QStringLiteral("未写入")), qPrintable(told));
    }
    QCOMPARE(forms, shop.contains(QStringLiteral("--address-forms")) ? 20 : 0);
}

// Whole shops served through the page mutator, each page a variant of its
// own. A shop whose variants all keep the meaning exports as the unmutated
// shop does (every cell the shop's, status 0, nothing named); otherwise every
// cell is the shop's or empty with its trade named, no trade is missing
// unnamed, and the status is not 0 when anything was left out or is to be
// checked. A failure prints the shop's seed, the mutation seed and every
// page's chain, to be replayed with the demo's --mutate.
void TestUnattendedExport::mutatedShopsAreNamedNeverWrittenWrong_data()
{
    QTest::addColumn<quint64>("shopSeed");
    QTest::addColumn<QString>("mutation");
    QTest::addColumn<bool>("addressForms");
    // LUMETRA_MUTATED_SHOP="<shop seed> <mutation>" replays one shop of a
    // failure; LUMETRA_MUTATED_SHOPS=N runs N shops from
    // LUMETRA_MUTATED_FIRST on instead of the fixed 24 (fuzz/mutated_shops.sh).
    if (const QStringList replay = qEnvironmentVariable("LUMETRA_MUTATED_SHOP").split(u' ', Qt::SkipEmptyParts);
        replay.size() == 2) {
        const quint64 shop = replay[0].toULongLong();
        QTest::newRow("replay") << shop << replay[1] << (shop % 2 == 0);
        return;
    }
    bool more = false;
    const int count = qEnvironmentVariableIntValue("LUMETRA_MUTATED_SHOPS", &more);
    const quint64 first = more ? quint64(qEnvironmentVariableIntValue("LUMETRA_MUTATED_FIRST")) : 101;
    for (quint64 shop = first, i = 0; i < quint64(more ? count : 24); ++shop, ++i) {
        // Half the shops keep the meaning; one in twelve may put the login
        // page in a page's place.
        const quint64 kind = (shop + 19) % 24; // 0 for shop 101
        const QString family = kind < 12 ? QStringLiteral("kept")
            : kind < 22                  ? QStringLiteral("changed")
                                         : QStringLiteral("all");
        const QString mutation = QStringLiteral("%1:%2").arg(shop * 7919 + 13).arg(family);
        QTest::addRow("shop %llu, --mutate %s", shop, qPrintable(mutation)) << shop << mutation << (shop % 2 == 0);
    }
}

// The whole replay goes to the log first: a failure message is cut short.
#define MUTATED_VERIFY(condition, message)                                                                   \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            qInfo("%s", qPrintable(replay));                                                                 \
            QFAIL(message);                                                                                  \
        }                                                                                                    \
    } while (false)

void TestUnattendedExport::mutatedShopsAreNamedNeverWrittenWrong()
{
    QFETCH(quint64, shopSeed);
    QFETCH(QString, mutation);
    QFETCH(bool, addressForms);
    const QString truthPath = dir_.filePath(QStringLiteral("mutated.json"));
    testsupport::DemoMarket market(
        QStringList { "--pages", "2", "--per-page", "6", "--seed", QString::number(shopSeed), "--any-session",
            "--log-requests", "--mutate", mutation, "--dump-truth", truthPath }
        + (addressForms ? QStringList { "--address-forms" } : QStringList()));
    QVERIFY(market.ok());
    const QString file = dir_.filePath(QStringLiteral("mutated.csv"));
    QVERIFY(testsupport::WriteFile(file, "yesterday's sheet"));
    const RunResult run = Run(program_, ListArgs(market.base(), file) + QStringList { "--keep-closed", "--no-history" });
    const QString told = SellerLines(run);
    const QStringList chains = market.RequestLog().filter(QRegularExpression(QStringLiteral("^mutated ")));
    const QString replay = QStringLiteral("shop seed %1 (%2), --mutate %3, status %4\n%5\n-- told:\n%6")
                               .arg(shopSeed)
                               .arg(addressForms ? QStringLiteral("--address-forms") : QStringLiteral("plain"))
                               .arg(mutation)
                               .arg(run.exitStatus)
                               .arg(chains.join(u'\n'), told);
    MUTATED_VERIFY(!chains.isEmpty(), "the market mutated no page");
    qInfo("status %d, %lld pages changed of %lld", run.exitStatus,
        qlonglong(chains.filter(QRegularExpression(QStringLiteral("^mutated \\S+ \\S+ seed \\d+ (changed|login) "))).size()),
        qlonglong(chains.size()));
    const bool loginPage = !chains.filter(QRegularExpression(QStringLiteral("^mutated detail \\d+ seed \\d+ login "))).isEmpty();
    const bool meaningKept = chains.filter(QRegularExpression(QStringLiteral("^mutated \\S+ \\S+ seed \\d+ kept "))).size() == chains.size();
    const QString shapeFault = StandardErrorShapeFault(told, run.exitStatus);
    MUTATED_VERIFY(shapeFault.isEmpty(), qPrintable(shapeFault));
    if (loginPage) {
        // The session looks ended: nothing is written.
        MUTATED_VERIFY(run.exitStatus == 2 && told.contains(QStringLiteral("登录已过期")), "a login page not told as an ended session");
        MUTATED_VERIFY(testsupport::ReadFile(file) == QByteArray("yesterday's sheet"), "the earlier sheet replaced");
        return;
    }
    if (meaningKept)
        MUTATED_VERIFY(run.exitStatus == 0 && !told.contains(QStringLiteral("未写入")) && !told.contains(QStringLiteral("请核对")),
            "pages of the same meaning not read as the plain shop");
    if (run.exitStatus == 3) {
        // The first page refused: the earlier sheet stays.
        MUTATED_VERIFY(told.contains(QStringLiteral("第 1 页")), "the refused first page not named");
        MUTATED_VERIFY(testsupport::ReadFile(file) == QByteArray("yesterday's sheet"), "the earlier sheet replaced");
        return;
    }
    MUTATED_VERIFY(testsupport::ReadFile(file) != QByteArray("yesterday's sheet"), "the sheet not written");

    // Trades whose title, nick and name the mutator rewrote on purpose.
    QSet<QString> rewritten;
    static const QRegularExpression rewrittenList(QStringLiteral(" rewritten=([0-9,]+):"));
    for (const QString& chain : chains)
        if (const QRegularExpressionMatch m = rewrittenList.match(chain); m.hasMatch())
            for (const QString& order : m.captured(1).split(u','))
                rewritten.insert(order);
    const QJsonArray trades = QJsonDocument::fromJson(testsupport::ReadFile(truthPath)).object().value("trades").toArray();
    double total = 0;
    QHash<QString, QStringList> expected;
    for (const QStringList& row : demotruth::ExpectedRows(trades, false, &total))
        expected.insert(row.at(1), row);
    // A trade that waits to ship or is on its way: a cell of it left empty
    // needs a look, a note does not do.
    QSet<QString> toShip;
    for (const QJsonValue& value : trades)
        if (const QString status = demotruth::FirstWord(value.toObject().value("status").toString());
            status == QStringLiteral("买家已付款") || status == QStringLiteral("等待卖家发货")
            || status == QStringLiteral("卖家已发货"))
            toShip.insert(value.toObject().value("orderNumber").toString());
    QSet<QString> present;
    bool anyLeftOut = false; // a cell of a trade to ship left empty, a trade missing
    const QStringList titles = TradeGridTitles();
    for (const QHash<QString, QString>& record : CsvRecords(file)) {
        const QString order = record.value(QStringLiteral("订单编号"));
        MUTATED_VERIFY(expected.contains(order) && !present.contains(order), qPrintable(order));
        present.insert(order);
        const QString trade = order.section(QLatin1Char('_'), 0, 0);
        const bool named = told.contains(trade);
        for (int col = ColOrderNumber; col <= ColWaybill; ++col) {
            const QString cell = record.value(titles.at(col));
            const QString want = expected.value(order).at(col - 1);
            if (cell == want || (rewritten.contains(trade) && (col == ColItem || col == ColBuyer || col == ColName)))
                continue;
            anyLeftOut = anyLeftOut || toShip.contains(trade);
            MUTATED_VERIFY(cell.isEmpty() && named,
                qPrintable(QStringLiteral("%1 %2: \"%3\", not \"%4\"\n").arg(order, titles.at(col), cell, want)));
        }
    }
    for (const QJsonValue& value : trades) {
        const QJsonObject trade = value.toObject();
        const QString order = trade.value("orderNumber").toString();
        if (present.contains(order))
            continue;
        anyLeftOut = true;
        const QString page = QStringLiteral("第 %1 页").arg(trade.value("page").toInt());
        MUTATED_VERIFY(told.contains(order) || told.contains(page),
            qPrintable(QStringLiteral("%1 missing and not named\n").arg(order)));
    }
    const bool anyToLook = told.contains(QStringLiteral("未写入：")) || told.contains(QStringLiteral("请核对："));
    MUTATED_VERIFY(run.exitStatus != 0 || (!anyLeftOut && !anyToLook), "status 0 with something left out or to check");
    MUTATED_VERIFY(run.exitStatus == 0 || run.exitStatus == 4 || run.exitStatus == 5, "an unexpected status");
}

#undef MUTATED_VERIFY

void TestUnattendedExport::secondRunOnProfileRefused()
{
    ProfileLock window;
    QCOMPARE(window.TryLock(), ProfileLockResult::Locked);
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

// The help and a mistyped option, in the language of everything else; the
// option names stay as they are typed.
void TestUnattendedExport::commandLineSpeaksChinese()
{
    QProcess help;
    help.start(program_, { QStringLiteral("--help") });
    QVERIFY(help.waitForFinished(30000));
    QCOMPARE(help.exitCode(), 0);
    const QString text = QString::fromUtf8(help.readAllStandardOutput());
    for (const char* word : { "用法：", "选项：", "--export <FILE>", "--verbose", "无人值守导出", "显示命令行选项的说明" })
        QVERIFY2(text.contains(QString::fromUtf8(word)), qPrintable(text));
    // Every option's text is Chinese: no line of English words.
    static const QRegularExpression english(QStringLiteral("\\b[A-Za-z]{3,} [a-z]{3,} [a-z]{3,}\\b"));
    QVERIFY2(!text.contains(english), qPrintable(text.mid(text.indexOf(english), 80)));

    const RunResult mistyped = Run(program_, { QStringLiteral("--export"), QStringLiteral("a.csv"), QStringLiteral("--exprot") });
    QCOMPARE(mistyped.exitStatus, 1);
    QVERIFY2(mistyped.errorLines.join('\n').contains(QStringLiteral("没有这个选项：“exprot”")),
        qPrintable(mistyped.errorLines.join('\n')));
}

// A disk that fills while the sheet is written: a small file system of its
// own (a mount namespace, so nothing outside changes), nearly full. The
// sheet is not written, an earlier one stays, and the seller reads why.
void TestUnattendedExport::fullDiskIsToldAsSuch_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("csv") << "daily.csv";
    QTest::newRow("workbook") << "daily.xlsx";
}

void TestUnattendedExport::fullDiskIsToldAsSuch()
{
    QFETCH(QString, name);
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty())
        QSKIP("unshare not available");
    QTemporaryDir disk;
    const QString file = disk.filePath(name);
    // A mount that fails ends with 77 before the program runs.
    const QString script = QStringLiteral(
        "mount -t tmpfs -o size=8k tmpfs \"$0\" || exit 77; printf yesterday > \"$0/%1\"; "
        "head -c 7000 /dev/zero > \"$0/filler\"; exec \"$@\"")
                               .arg(name);
    const RunResult run = Run(unshare,
        QStringList { "--user", "--map-root-user", "--mount", "sh", "-c", script, disk.path(), program_ }
            + ListArgs(market_->base(), file) + QStringList { "--no-history" });
    if (run.exitStatus == 77 || (run.exitStatus == 1 && run.errorLines.join('\n').contains("unshare")))
        QSKIP("no mount namespace here");
    const QString told = SellerLines(run);
    QVERIFY2(run.exitStatus == 1, qPrintable(told));
    QVERIFY2(told.contains(QStringLiteral("磁盘已满")) && run.errorLines.last().contains(QStringLiteral("磁盘已满")),
        qPrintable(told));
    QVERIFY2(!told.contains(QStringLiteral("未知错误")) && !told.contains(QStringLiteral("Unknown error")),
        qPrintable(told));
    // The file system went with the namespace: the folder is as it was.
    QVERIFY(!QFileInfo::exists(file));
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
    // The slips written are remembered as printed, one mark a parcel, for
    // the window's 打印 to ask before printing them again.
    const ParcelMarks marks(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/lumetra-trades/parcel-marks.json"));
    QCOMPARE(marks.Marked(ParcelMark::Printed, QStringList(pickedOrders.cbegin(), pickedOrders.cend())).size(),
        parcels);
}

// The buyer's messages and seller's memos: the sheet gains them as its last
// two columns only with --with-notes, every other cell as without it; each
// parcel's slip carries its trades' texts and the picking list marks them.
void TestUnattendedExport::notesOnTheSheetOnlyWhenAskedAndOnEverySlip()
{
    const QString truthPath = dir_.filePath(QStringLiteral("notes.json"));
    testsupport::DemoMarket market(QStringList {
        "--pages", "3", "--per-page", "10", "--seed", "11", "--any-session", "--dump-truth", truthPath });
    QVERIFY(market.ok());
    const QString plain = dir_.filePath(QStringLiteral("plain.csv"));
    const QString withNotes = dir_.filePath(QStringLiteral("notes.csv"));
    const QString picking = dir_.filePath(QStringLiteral("notes-picking.pdf"));
    const QString slips = dir_.filePath(QStringLiteral("notes-slips.pdf"));
    const QStringList common { "--keep-closed", "--no-history" };
    RunResult run = Run(program_, ListArgs(market.base(), plain) + common);
    QVERIFY2(run.exitStatus == 0, qPrintable(run.errorLines.join('\n')));
    run = Run(program_,
        ListArgs(market.base(), withNotes) + common
            + QStringList {
                "--with-notes", "--picking-list", picking, "--packing-slips", slips, "--slip-paper", "a5" });
    QVERIFY2(run.exitStatus == 0, qPrintable(run.errorLines.join('\n')));

    // Without the option the sheet's titles end at 单号, as they always did.
    const QStringList plainLines = DecodeAnsi(testsupport::ReadFile(plain)).split(QStringLiteral("\r\n"));
    QVERIFY(plainLines.value(1).endsWith(QStringLiteral(",单号\t")));
    const QList<QHash<QString, QString>> before = CsvRecords(plain);
    const QList<QHash<QString, QString>> after = CsvRecords(withNotes);
    QCOMPARE(after.size(), before.size());
    QHash<QString, QJsonObject> truth;
    for (const QJsonValue& value :
        QJsonDocument::fromJson(testsupport::ReadFile(truthPath)).object().value("trades").toArray())
        truth.insert(value.toObject().value("orderNumber").toString(), value.toObject());
    // As the CSV keeps it: on one line, a character GBK has no code for
    // (the emoji) as "?".
    const auto oneLine = [](QString text) {
        text.replace(QRegularExpression(QStringLiteral("[\\x{10000}-\\x{10FFFF}]")), QStringLiteral("?"));
        return text.replace(u'\n', QStringLiteral(" / "));
    };
    int rowsWithNotes = 0;
    for (qsizetype i = 0; i < after.size(); ++i) {
        QHash<QString, QString> rest = after[i];
        const QString message = rest.take(QStringLiteral("买家留言"));
        const QString memo = rest.take(QStringLiteral("卖家备注"));
        QCOMPARE(rest, before[i]);
        const QJsonObject trade = truth.value(rest.value(QStringLiteral("订单编号")).section(u'_', 0, 0));
        QCOMPARE(message, oneLine(trade.value("buyerMessage").toString()));
        QCOMPARE(memo, oneLine(trade.value("sellerMemo").toString()));
        rowsWithNotes += !message.isEmpty() || !memo.isEmpty();
    }
    QVERIFY(rowsWithNotes >= 7);

    // Every trade to ship with notes: the buyer's message on its slip and its
    // order marked; the seller's memo beside its order on the picking list,
    // and not on the slip that goes into the parcel.
    const QString slipText = testsupport::PdfText(slips);
    const QString pickingText = testsupport::PdfText(picking);
    // A character beyond the first plane is drawn from a fallback font,
    // which gives pdftotext no text for it.
    const auto pdfForm = [](const QString& text) {
        return text.normalized(QString::NormalizationForm_KC)
            .remove(QRegularExpression(QStringLiteral("\\s|[\\x{10000}-\\x{10FFFF}]")));
    };
    const QStringList toShip { QStringLiteral("买家已付款"), QStringLiteral("等待卖家发货") };
    int shippedWithNotes = 0;
    for (const QJsonObject& trade : std::as_const(truth)) {
        const QString message = trade.value("buyerMessage").toString();
        const QString memo = trade.value("sellerMemo").toString();
        if ((message.isEmpty() && memo.isEmpty()) || trade.value("recipient").toString().isEmpty()
            || !toShip.contains(demotruth::FirstWord(trade.value("status").toString())))
            continue;
        ++shippedWithNotes;
        if (!message.isEmpty())
            QVERIFY2(slipText.contains(pdfForm(QStringLiteral("买家留言：") + message)),
                qPrintable(pdfForm(message) + QLatin1Char('\n') + slipText));
        if (!memo.isEmpty())
            QVERIFY2(!slipText.contains(pdfForm(QStringLiteral("卖家备注：") + memo)), qPrintable(memo));
        const QString order = trade.value("orderNumber").toString();
        const QString marked = message.isEmpty() ? order : order + QStringLiteral("※");
        const QString beside = memo.isEmpty() ? QString() : QStringLiteral("（卖家备注：%1）").arg(memo);
        QVERIFY2(pickingText.contains(pdfForm(marked + beside)),
            qPrintable(pdfForm(marked + beside) + QLatin1Char('\n') + pickingText));
    }
    QVERIFY(shippedWithNotes >= 2);
    QVERIFY(pickingText.contains(pdfForm(QStringLiteral("※ 该订单有买家留言，请看发货单"))));
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

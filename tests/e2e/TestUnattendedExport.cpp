// The unattended export as a scheduler runs it: the real program in its own
// process, without a display, on the profile a window logged in with.
#include "E2eSupport.h"
#include "support/DemoTruth.h"
#include "support/ExportTestSupport.h"
#include "support/TestSupport.h"

#include "core/base/ProfileLock.h"
#include "core/history/TradeHistory.h"
#include "core/settings/SettingsStore.h"

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
    MainWindow& window = windowRun.Open();
    window.show();
    if (!e2e::LogIn(window, base, windowRun.run.fetcher.CookieJar()) || !e2e::OpenSoldItems(window))
        return 10;
    const auto exportTo = [&](const QString& name) {
        exporttest::ScriptedSaveDialog dialog(dir.filePath(name));
        window.SetSaveDialog(&dialog);
        window.Run(Command::Export);
        window.SetSaveDialog(nullptr);
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

} // namespace

class TestUnattendedExport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exportsWhatTheWindowExports_data();
    void exportsWhatTheWindowExports();
    void notLoggedInWritesNothing();
    void unreachableMarketLeavesFileAsItWas();
    void secondRunOnProfileRefused();
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
        QSKIP("program or demo marketplace not available");
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

// The grid survives a killed process: a child process runs the tool's window
// with its crash recovery on the demo marketplace and starts "提取所有交易";
// once some pages are in, it is killed with SIGKILL. The next start (this
// process, on the child's data folder) offers the grid back, and it holds
// every row of the pages the child completed, details included.
//
// The child is this program started again with --walk-child, because the
// tool's window can only be clicked from inside its own process.

#include "E2eSupport.h"
#include "support/DemoTruth.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

#include "core/base/UserPrompt.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"
#include "core/recovery/GridRecovery.h"
#include "core/recovery/GridSnapshot.h"
#include "gui/progress/IndicatorForm.h"
#include "gui/progress/IndicatorWindow.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

constexpr int kPages = 8;
constexpr int kPerPage = 3;
constexpr int kKillAfterPages = 2;

// The child: the tool as main() wires it, logged in, walking all pages.
int RunWalkChild(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumetra-trades"));
    const QString base = QString::fromLocal8Bit(argv[2]);
    standin::RecordingPrompt prompt(true);
    GridRecovery recovery(GridRecovery::DefaultFolder());
    e2e::WindowRun windowRun(
        RunServices { .prompt = &prompt, .endpoints = e2e::DemoEndpoints(base), .checkpoint = &recovery });
    IndicatorWindow indicator;
    windowRun.run.progress.SetView(&indicator);
    MainWindow& window = windowRun.Open();
    window.show();
    const RecoveryOfferResult offered = window.Session().OfferRecovery();
    if (!offered.toTell.isEmpty())
        prompt.ShowMessage(offered.toTell);
    if (!e2e::LogIn(window, base, windowRun.run.fetcher.CookieJar()) || !e2e::OpenSoldItems(window))
        return 2;
    window.Run(Command::ExtractAll);
    return 3; // the walk ended before the kill: the test fails
}

// Order number and columns 13-22 of every row the first `trades` trades give.
QList<QStringList> ExpectedRows(const QJsonArray& trades, int count)
{
    QList<QStringList> rows;
    for (int t = 0; t < count && t < trades.size(); ++t) {
        const QJsonObject trade = trades.at(t).toObject();
        const QString order = trade.value("orderNumber").toString();
        const int items = int(trade.value("items").toArray().size());
        for (int i = 0; i < items; ++i)
            rows.append(QStringList { i == 0 ? order : order + QStringLiteral("_%1").arg(i) }
                + demotruth::ExpectedDetails(trade));
    }
    return rows;
}

QList<QStringList> GridRows(const TradeGrid& grid)
{
    QList<QStringList> rows;
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r) {
        QStringList row { grid.TextMatrix(r, ColOrderNumber) };
        for (int c = ColRecipient; c <= ColWaybill; ++c)
            row.append(grid.TextMatrix(r, c));
        rows.append(row);
    }
    return rows;
}

} // namespace

class TestCrashRecovery : public QObject {
    Q_OBJECT
private slots:
    void killedWalkIsOfferedBack();
};

void TestCrashRecovery::killedWalkIsOfferedBack()
{
    QTemporaryDir dir;
    const QString truthPath = dir.filePath(QStringLiteral("truth.json"));
    testsupport::DemoMarket market({ "--pages", QString::number(kPages), "--per-page",
        QString::number(kPerPage), "--seed", "5", "--latency-ms", "100", "--dump-truth", truthPath });
    if (!market.ok())
        SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
    const QJsonArray trades
        = QJsonDocument::fromJson(testsupport::ReadFile(truthPath)).object().value("trades").toArray();
    QCOMPARE(trades.size(), kPages * kPerPage);

    // The child gets a home of its own; its recovery file is watched there.
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString recoveryFolder = home + QStringLiteral("/data/lumetra-trades/recovery");
    const QString recoveryFile = recoveryFolder + QStringLiteral("/grid.lmtgrid");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("XDG_DATA_HOME", home + "/data");
    env.insert("XDG_CACHE_HOME", home + "/cache");
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), { "--walk-child", market.base() });
    QVERIFY(child.waitForStarted(10000));

    const int rowsOfTwoPages = int(ExpectedRows(trades, kKillAfterPages * kPerPage).size());
    const bool pagesIn = WaitUntil(
        [&] {
            const SnapshotReadResult read = DecodeGridSnapshot(testsupport::ReadFile(recoveryFile));
            return child.state() != QProcess::Running
                || (read.status == SnapshotStatus::Ok && read.snapshot.DataRows() >= rowsOfTwoPages);
        },
        120000, 20);
    QCOMPARE(child.state(), QProcess::Running);
    QVERIFY(pagesIn);
    child.kill(); // SIGKILL: no clean-up of any kind runs
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    // What the file holds is whole pages, fewer than all of them.
    const SnapshotReadResult left = DecodeGridSnapshot(testsupport::ReadFile(recoveryFile));
    QCOMPARE(left.status, SnapshotStatus::Ok);
    int completedPages = 0;
    while (completedPages < kPages
        && int(ExpectedRows(trades, (completedPages + 1) * kPerPage).size()) <= left.snapshot.DataRows())
        ++completedPages;
    QVERIFY2(completedPages >= kKillAfterPages && completedPages < kPages,
        qPrintable(QString::number(completedPages)));
    const QList<QStringList> expected = ExpectedRows(trades, completedPages * kPerPage);
    QCOMPARE(left.snapshot.DataRows(), int(expected.size()));

    // The next start: the tool's window, the grid offered and taken back.
    standin::RecordingPrompt prompt(true);
    GridRecovery recovery(recoveryFolder);
    QVERIFY(recovery.Active());
    auto windowRun = std::make_unique<e2e::WindowRun>(RunServices {
        .prompt = &prompt, .endpoints = e2e::DemoEndpoints(market.base()), .checkpoint = &recovery });
    MainWindow& window = windowRun->Open();
    QCOMPARE(window.Session().OfferRecovery().offer, RecoveryOffer::Restored);
    QCOMPARE(prompt.questions,
        QStringList { QStringLiteral("恢复上次未完成的表格（%1 行）？").arg(expected.size()) });
    QCOMPARE(GridRows(window.Session().Grid()), expected);

    // 清空表格 asks first; No keeps every row.
    prompt.Clear();
    prompt.answer = false;
    window.Run(Command::Clear);
    QCOMPARE(prompt.questions, QStringList { u"表格中有 %1 行尚未导出，确定清空？"_s.arg(expected.size()) });
    QCOMPARE(GridRows(window.Session().Grid()), expected);

    // Closed by the title bar unexported: nothing asked, offered back next start.
    const QByteArray before = EncodeGridSnapshot(window.Session().Grid());
    prompt.Clear();
    prompt.answer = true;
    window.show();
    QVERIFY(window.close());
    windowRun.reset();
    GridRecovery nextStart(recoveryFolder);
    e2e::WindowRun nextRun(RunServices {
        .prompt = &prompt, .endpoints = e2e::DemoEndpoints(market.base()), .checkpoint = &nextStart });
    MainWindow& again = nextRun.Open();
    QCOMPARE(again.Session().OfferRecovery().offer, RecoveryOffer::Restored);
    QCOMPARE(
        prompt.questions, QStringList { u"上次关闭时表格中有 %1 行尚未导出，恢复？"_s.arg(expected.size()) });
    QCOMPARE(EncodeGridSnapshot(again.Session().Grid()), before);

    // A normal end leaves nothing to offer next time.
    again.Session().Grid().NoteExported(); // as an export does
    again.EndProgram();
    QVERIFY(!QFile::exists(recoveryFile));
}

int main(int argc, char* argv[])
{
    if (argc >= 3 && QByteArray(argv[1]) == "--walk-child")
        return RunWalkChild(argc, argv);
    testsupport::UseTemporaryHome();
    QApplication app(argc, argv);
    TestCrashRecovery test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "TestCrashRecovery.moc"

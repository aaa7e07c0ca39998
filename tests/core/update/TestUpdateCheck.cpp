#include "core/session/RunContext.h"
#include "core/update/UpdateCheck.h"
#include "core/update/UpdateCheckState.h"
#include "core/update/UpdateHost.h"
#include "support/LocalHttpServer.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTimer>
#include <optional>

#include "core/base/EventWait.h"

namespace {

// Serves one fixed page to every request, after an optional delay.
std::unique_ptr<testweb::LocalHttpServer> PageServer(const QByteArray& body, int delayMs = 0)
{
    auto server = std::make_unique<testweb::LocalHttpServer>(nullptr);
    server->setReplyHandler([body, delayMs](const demo::HttpRequest&) {
        demo::HttpReply reply;
        reply.raw = testweb::HttpResponse(body, "text/html; charset=utf-8");
        reply.delayMs = delayMs;
        return reply;
    });
    return server;
}

QString FirstRequestLine(const testweb::LocalHttpServer& server)
{
    const QByteArray head = server.heads().value(0);
    return QString::fromLatin1(head.left(head.indexOf('\r')));
}

QByteArray PageWithTitle(const QByteArray& title)
{
    return "<html><head><title>" + title + "</title></head><body>下载</body></html>";
}

// An update host whose window shows the 2.00 caption.
standin::RecordingUpdateHost HostOfVersion200(const QString& programDirectory)
{
    return standin::RecordingUpdateHost(
        programDirectory, [] { return QStringLiteral("Lumetra交易数据提取软件【C店版】2.00"); });
}

// A new run whose update page is on base.
void PointUpdateUrlAt(std::optional<RunContext>& run, const QString& base)
{
    Endpoints endpoints = DefaultEndpoints();
    endpoints.updateUrl = base + QStringLiteral("/download?ID=");
    run.emplace(RunServices { .endpoints = endpoints }).fetcher.SetFirstRetryPauseMs(10);
}

} // namespace

class TestUpdateCheck : public QObject {
    Q_OBJECT
private slots:
    // An unreachable page is refused; no need to wait between its attempts.
    void init()
    {
        run_.emplace().fetcher.SetFirstRetryPauseMs(10);
        state_.Reset();
    }
    void localVersion_data();
    void localVersion();
    void publishedVersion_data();
    void publishedVersion();
    void newerVersionBacksUpAndHandsOver_data();
    void newerVersionBacksUpAndHandsOver();
    void notNewerChangesNothing_data();
    void notNewerChangesNothing();
    void unreachablePageChangesNothing();
    void secondCallWhileWaitingReturnsAtOnce();
    void missingUpdateProgramKeepsRunning();
    void allBackupNamesTakenOverwritesLast();
    void updateArguments();

private:
    std::optional<RunContext> run_;
    UpdateCheckState state_;
};

void TestUpdateCheck::localVersion_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("version");
    QTest::newRow("main caption") << "Lumetra交易数据提取软件【C店版】2.00"
                                  << "2.00";
    QTest::newRow("other digits stay in place") << "Tool 3 版 2.10"
                                                << "32.10";
    QTest::newRow("no digits") << "工具"
                               << "";
}

void TestUpdateCheck::localVersion()
{
    QFETCH(QString, caption);
    QFETCH(QString, version);
    QCOMPARE(LocalVersionFromCaption(caption), version);
}

void TestUpdateCheck::publishedVersion_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("version");
    QTest::newRow("name(version)") << "<html><title>Lumetra交易数据提取软件(2.10)</title>"
                                   << "2.1";
    QTest::newRow("equal") << "<title>X(2.00)</title>"
                           << "2";
    QTest::newRow("no paren: after title") << "<title>3.5 版</title>"
                                           << "3.5";
    QTest::newRow("no paren, no number") << "<title>Lumetra</title>"
                                         << "0";
    QTest::newRow("no title: first paren") << "<p>(1.5)</p>"
                                           << "1.5";
    QTest::newRow("empty page") << ""
                                << "0";
}

void TestUpdateCheck::publishedVersion()
{
    QFETCH(QString, page);
    QFETCH(QString, version);
    QCOMPARE(PublishedVersionFromPage(page), version);
}

void TestUpdateCheck::newerVersionBacksUpAndHandsOver_data()
{
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QStringList>("existingBackups");
    QTest::addColumn<bool>("hasData");
    QTest::addColumn<QString>("expectedBackup");
    QTest::newRow("2.10, first backup")
        << QByteArray("Lumetra交易数据提取软件(2.10)") << QStringList {} << true << "BAK_data000.DAT";
    QTest::newRow("000 and 001 taken")
        << QByteArray("Lumetra(2.1)") << QStringList { "BAK_data000.DAT", "BAK_data001.DAT" } << true
        << "BAK_data002.DAT";
    QTest::newRow("no data file: no backup") << QByteArray("Lumetra(3)") << QStringList {} << false << "";
}

void TestUpdateCheck::newerVersionBacksUpAndHandsOver()
{
    QFETCH(QByteArray, title);
    QFETCH(QStringList, existingBackups);
    QFETCH(bool, hasData);
    QFETCH(QString, expectedBackup);

    QTemporaryDir programDir;
    QVERIFY(testsupport::WriteStandInUpdater(programDir.path()));
    if (hasData)
        QVERIFY(testsupport::WriteFile(programDir.filePath(QStringLiteral("data.mdb")), "trade data"));
    for (const QString& name : existingBackups)
        QVERIFY(testsupport::WriteFile(programDir.filePath(name), "older"));

    const auto server = PageServer(PageWithTitle(title));
    PointUpdateUrlAt(run_, server->base());
    auto host = HostOfVersion200(programDir.path());

    QCOMPARE(CheckForUpdate(state_, run_->fetcher, run_->endpoints.updateUrl, host, 58), QString());
    QCOMPARE(host.messages, QStringList { QStringLiteral("本软件已升级，启动自动升级...") });
    QCOMPARE(host.ends, 1);
    QVERIFY(!server->heads().isEmpty());
    QVERIFY2(FirstRequestLine(*server).startsWith(QStringLiteral("GET /download?ID=58&Time=")),
        qPrintable(FirstRequestLine(*server)));

    if (!expectedBackup.isEmpty())
        QCOMPARE(testsupport::ReadFile(programDir.filePath(expectedBackup)), QByteArray("trade data"));
    for (const QString& name : existingBackups)
        QCOMPARE(testsupport::ReadFile(programDir.filePath(name)), QByteArray("older"));
    if (!hasData)
        QVERIFY(!QFile::exists(programDir.filePath(QStringLiteral("BAK_data000.DAT"))));

    const QString argsFile = programDir.filePath(QStringLiteral("update-args.txt"));
    QVERIFY(WaitUntil([&] { return QFile::exists(argsFile); }, 10000));
    QCOMPARE(testsupport::ReadFile(argsFile), QByteArray("QV09.rar|lumetra-trades\n"));
}

void TestUpdateCheck::notNewerChangesNothing_data()
{
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QString>("expected");
    QTest::newRow("equal 2.00") << QByteArray("Lumetra(2.00)") << "2";
    QTest::newRow("older 1.9") << QByteArray("Lumetra(1.9)") << "1.9";
}

void TestUpdateCheck::notNewerChangesNothing()
{
    QFETCH(QByteArray, title);
    QFETCH(QString, expected);
    QTemporaryDir programDir;
    QVERIFY(testsupport::WriteStandInUpdater(programDir.path()));
    QVERIFY(testsupport::WriteFile(programDir.filePath(QStringLiteral("data.mdb")), "trade data"));
    const auto server = PageServer(PageWithTitle(title));
    PointUpdateUrlAt(run_, server->base());
    auto host = HostOfVersion200(programDir.path());

    QCOMPARE(CheckForUpdate(state_, run_->fetcher, run_->endpoints.updateUrl, host, 58), expected);
    QCOMPARE(state_.CurrentStage(), UpdateCheckState::Stage::NotNewer);
    QCOMPARE(state_.PublishedVersion(), expected);
    QVERIFY(host.messages.isEmpty());
    QCOMPARE(host.ends, 0);
    QVERIFY(!QFile::exists(programDir.filePath(QStringLiteral("BAK_data000.DAT"))));
    // Once per run: the next call returns at once without asking again.
    const int asked = server->requestCount();
    QCOMPARE(CheckForUpdate(state_, run_->fetcher, run_->endpoints.updateUrl, host, 58), QString());
    QCOMPARE(server->requestCount(), asked);
    // After a reset it runs again.
    ResetUpdateCheck(state_);
    QCOMPARE(state_.CurrentStage(), UpdateCheckState::Stage::NotRun);
    QCOMPARE(CheckForUpdate(state_, run_->fetcher, run_->endpoints.updateUrl, host, 58), expected);
}

void TestUpdateCheck::unreachablePageChangesNothing()
{
    QTemporaryDir programDir;
    QVERIFY(testsupport::WriteStandInUpdater(programDir.path()));
    QVERIFY(testsupport::WriteFile(programDir.filePath(QStringLiteral("data.mdb")), "trade data"));
    PointUpdateUrlAt(run_, testsupport::RefusedBase());
    auto host = HostOfVersion200(programDir.path());

    QCOMPARE(CheckForUpdate(state_, run_->fetcher, run_->endpoints.updateUrl, host, 58), QString());
    QCOMPARE(state_.CurrentStage(), UpdateCheckState::Stage::Started);
    QVERIFY(host.messages.isEmpty());
    QCOMPARE(host.ends, 0);
    QVERIFY(!QFile::exists(programDir.filePath(QStringLiteral("BAK_data000.DAT"))));
    QCOMPARE(CheckForUpdate(state_, run_->fetcher, run_->endpoints.updateUrl, host, 58), QString());
}

void TestUpdateCheck::secondCallWhileWaitingReturnsAtOnce()
{
    QTemporaryDir programDir;
    const auto server = PageServer(PageWithTitle("Lumetra(1.5)"), 600);
    PointUpdateUrlAt(run_, server->base());
    auto host = HostOfVersion200(programDir.path());

    QString secondResult = QStringLiteral("not called");
    auto seenDuringWait = UpdateCheckState::Stage::NotRun;
    QObject testScope; // the timer goes with this test's locals
    QTimer::singleShot(100, &testScope, [&] {
        seenDuringWait = state_.CurrentStage();
        secondResult = CheckForUpdate(state_, run_->fetcher, run_->endpoints.updateUrl, host, 58);
    });
    QCOMPARE(
        CheckForUpdate(state_, run_->fetcher, run_->endpoints.updateUrl, host, 58), QStringLiteral("1.5"));
    QCOMPARE(seenDuringWait, UpdateCheckState::Stage::Started);
    QCOMPARE(secondResult, QString());
    QCOMPARE(server->requestCount(), 1);
}

void TestUpdateCheck::missingUpdateProgramKeepsRunning()
{
    QTemporaryDir programDir; // no update program in it
    QVERIFY(testsupport::WriteFile(programDir.filePath(QStringLiteral("data.mdb")), "trade data"));
    const auto server = PageServer(PageWithTitle("Lumetra(9.9)"));
    PointUpdateUrlAt(run_, server->base());
    auto host = HostOfVersion200(programDir.path());

    QCOMPARE(CheckForUpdate(state_, run_->fetcher, run_->endpoints.updateUrl, host, 58), QString());
    QCOMPARE(host.ends, 0);
    QCOMPARE(host.messages.size(), 2);
    QCOMPARE(host.messages.at(0), QStringLiteral("本软件已升级，启动自动升级..."));
    QCOMPARE(host.messages.at(1), QString::fromUtf8(kUpgradeStartFailed));
    QCOMPARE(testsupport::ReadFile(programDir.filePath(QStringLiteral("BAK_data000.DAT"))),
        QByteArray("trade data"));
}

void TestUpdateCheck::allBackupNamesTakenOverwritesLast()
{
    QTemporaryDir dir;
    for (int i = 0; i <= 1000; ++i)
        QVERIFY(testsupport::WriteFile(
            dir.filePath(QStringLiteral("BAK_data%1.DAT").arg(i, 3, 10, QLatin1Char('0'))), "x"));
    QCOMPARE(BackupTargetPath(dir.path()), dir.filePath(QStringLiteral("BAK_data1000.DAT")));
    QFile::remove(dir.filePath(QStringLiteral("BAK_data999.DAT")));
    QCOMPARE(BackupTargetPath(dir.path()), dir.filePath(QStringLiteral("BAK_data999.DAT")));
}

void TestUpdateCheck::updateArguments()
{
    QCOMPARE(UpdateProgramArguments(QStringLiteral("lumetra-trades")),
        QStringList { QStringLiteral("QV09.rar|lumetra-trades") });
    // A name with blanks and shell characters stays one argument.
    QCOMPARE(UpdateProgramArguments(QStringLiteral("my tool;rm")),
        QStringList { QStringLiteral("QV09.rar|my tool;rm") });
    QCOMPARE(UpdateProgramPath(QStringLiteral("/opt/app")), QStringLiteral("/opt/app/update"));
}

LUMETRA_TEST_GUILESS_MAIN(TestUpdateCheck)
#include "TestUpdateCheck.moc"

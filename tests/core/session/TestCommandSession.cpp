// The command session without a window: what runs inside a command is
// refused, the checkpoint follows the outermost command, and what the run's
// stores have to tell comes after the command's own messages.

#include "support/CommandTestSupport.h"
#include "support/ExportTestSupport.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/RecordingProgressView.h"
#include "core/history/HistoryTrouble.h"
#include "core/history/TradeHistory.h"
#include "core/recovery/GridRecovery.h"
#include "core/session/CommandSession.h"
#include "core/session/FirstPageUpdateCheck.h"
#include "core/session/RunContext.h"

#include <QDir>
#include <optional>

class TestCommandSession : public QObject {
    Q_OBJECT
private slots:
    void insideACommandIsRefused_data()
    {
        QTest::addColumn<bool>("command");
        QTest::newRow("another command") << true;
        QTest::newRow("a grid filled from outside") << false;
    }
    void insideACommandIsRefused()
    {
        QFETCH(bool, command);
        QTemporaryDir dir;
        GridRecovery recovery(dir.path());
        RunContext run(RunServices { .checkpoint = &recovery });
        standin::ScriptedPage page;
        commandtest::CountingLoadWatch watch;
        std::optional<CommandSession> session;
        std::optional<CommandOutcome> inner;
        bool savedDuringCommand = true;
        SessionHooks hooks;
        // Told as the extraction starts, inside the command.
        hooks.shopNickRead = [&](const QString&) {
            savedDuringCommand = QFile::exists(recovery.FilePath());
            inner = command ? session->Run(Command::Merge) : session->GridChanged();
        };
        session.emplace(run, page, watch, nullptr, std::move(hooks));

        QVERIFY(session->Run(Command::ExtractPage).ran);
        QVERIFY(inner && !inner->ran);
        QVERIFY(!session->Busy());
        // Saved once the outermost command had ended, not before.
        QVERIFY(!savedDuringCommand);
        QVERIFY(QFile::exists(recovery.FilePath()));
    }

    void toldAfterTheOutermostCommand_data()
    {
        QTest::addColumn<bool>("historyOff");
        QTest::addColumn<bool>("saveFails");
        QTest::newRow("nothing to tell") << false << false;
        QTest::newRow("a history that cannot be used") << true << false;
        QTest::newRow("a recovery save that failed") << false << true;
        QTest::newRow("both: the save first") << true << true;
    }
    void toldAfterTheOutermostCommand()
    {
        QFETCH(bool, historyOff);
        QFETCH(bool, saveFails);
        QTemporaryDir dir;
        GridRecovery recovery(dir.filePath(QStringLiteral("recovery")));
        // A folder where the history's file belongs: the history is off.
        const QString historyPath = dir.filePath(QStringLiteral("history.sqlite"));
        QVERIFY(!historyOff || QDir().mkpath(historyPath));
        TradeHistory history(historyPath);
        standin::RecordingPrompt prompt;
        RunContext run(RunServices { .prompt = &prompt, .checkpoint = &recovery, .history = &history });
        standin::ScriptedPage page;
        commandtest::CountingLoadWatch watch;
        CommandSession session(run, page, watch, nullptr);
        SetUpTradeGrid(session.Grid());

        QStringList expected;
        if (saveFails)
            expected << QString::fromUtf8(kRecoverySaveFailedText);
        if (historyOff)
            expected << QString::fromUtf8(kHistoryOffText).arg(QDir::toNativeSeparators(historyPath));
        for (int round = 1; round <= 2; ++round) {
            std::optional<exporttest::FileSizeLimit> limit;
            if (saveFails && !limit.emplace(16).active())
                QSKIP("cannot limit file sizes here");
            const CommandOutcome outcome = session.Run(Command::Merge);
            QVERIFY(outcome.ran);
            // Each is told once a run.
            QCOMPARE(outcome.messages, round == 1 ? expected : QStringList());
        }
        QVERIFY(prompt.messages.isEmpty());
    }

    // The one place a grid range error is caught: a grid that loses rows
    // while it is written ends the export command there, with the progress
    // window closed, the seller told and the earlier file as it was.
    void aGridShrinkingMidExportEndsTheCommand_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("CSV") << "day.csv";
        QTest::newRow("workbook") << "day.xlsx";
    }
    void aGridShrinkingMidExportEndsTheCommand()
    {
        QFETCH(QString, fileName);
        QTemporaryDir dir;
        const QString path = dir.filePath(fileName);
        QVERIFY(testsupport::WriteFile(path, "the earlier sheet"));
        // Steps through the export's progress; the third one takes rows away.
        struct ShrinkingView : RecordingProgressView {
            TradeGrid* grid = nullptr;
            int steps = 0;
            void SetCounterText(const QString& text) override
            {
                RecordingProgressView::SetCounterText(text);
                if (grid && ++steps == 3)
                    grid->SetRows(grid->FixedRows() + 1);
            }
        } view;
        RunContext run(RunServices { .progressView = &view });
        standin::ScriptedPage page;
        commandtest::CountingLoadWatch watch;
        CommandSession session(run, page, watch, nullptr);
        SetUpTradeGrid(session.Grid());
        const int dataRows = 300;
        session.Grid().SetRows(session.Grid().FixedRows() + dataRows);
        for (int r = session.Grid().FixedRows(); r < session.Grid().Rows(); ++r)
            session.Grid().SetTextMatrix(r, ColRecipient, QStringLiteral("收件人%1").arg(r));
        view.grid = &session.Grid();

        const CommandOutcome outcome = session.ExportTo(path);
        QVERIFY(view.steps >= 3);
        QVERIFY(!outcome.endedEarly.isEmpty());
        QCOMPARE(outcome.messages.value(0), QString::fromUtf8(kCommandEndedEarlyText));
        QVERIFY(!view.loaded);
        QCOMPARE(testsupport::ReadFile(path), QByteArray("the earlier sheet"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { fileName });
    }

    // A run from start to end through the session alone: what the end
    // leaves for the next start, which offers it back.
    void runStartsAndEndsInTheSession_data()
    {
        QTest::addColumn<bool>("exported");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<bool>("closeAnyway");
        QTest::newRow("rows not exported come back") << false << false << true;
        QTest::newRow("an exported grid leaves nothing") << true << false << true;
        QTest::newRow("saves fail: the user keeps the program open") << false << true << false;
        QTest::newRow("saves fail: the user closes, nothing comes back") << false << true << true;
    }
    void runStartsAndEndsInTheSession()
    {
        QFETCH(bool, exported);
        QFETCH(bool, saveFails);
        QFETCH(bool, closeAnyway);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("recovery"));
        standin::ScriptedPage page;
        commandtest::CountingLoadWatch watch;
        {
            standin::RecordingPrompt prompt(closeAnyway);
            GridRecovery recovery(folder);
            RunContext run(RunServices { .prompt = &prompt, .checkpoint = &recovery });
            CommandSession session(run, page, watch, nullptr);
            session.SetUpGrid();
            QVERIFY(session.Grid().Cols() > ColRecipient);
            QCOMPARE(session.OfferRecovery().offer, RecoveryOffer::Nothing);
            TradeGrid& grid = session.Grid();
            grid.SetRows(grid.FixedRows() + 2);
            grid.SetTextMatrix(grid.FixedRows(), ColOrderNumber, QStringLiteral("A1"));
            grid.SetTextMatrix(grid.FixedRows() + 1, ColOrderNumber, QStringLiteral("B2"));
            if (exported)
                grid.NoteExported();
            std::optional<exporttest::FileSizeLimit> limit;
            if (saveFails && !limit.emplace(16).active())
                QSKIP("cannot limit file sizes here");
            QVERIFY(session.GridChanged().ran);
            QCOMPARE(session.MayClose(), !saveFails || closeAnyway);
            QCOMPARE(prompt.questions.size(), saveFails ? 1 : 0);
            if (!session.MayClose())
                return;
            session.EndCheckpoints();
        }
        standin::RecordingPrompt prompt(true);
        GridRecovery recovery(folder);
        RunContext run(RunServices { .prompt = &prompt, .checkpoint = &recovery });
        CommandSession session(run, page, watch, nullptr);
        session.SetUpGrid();
        const bool back = !exported && !saveFails;
        QCOMPARE(session.OfferRecovery().offer, back ? RecoveryOffer::Restored : RecoveryOffer::Nothing);
        QCOMPARE(session.Grid().FindOrderRow(QStringLiteral("B2")) >= 0, back);
    }

    // The update check waits for the browser's first finished page, tells
    // the owner once, then checks (here against a port nobody answers on,
    // so the program runs on).
    void updateCheckWaitsForTheFirstPage()
    {
        QTemporaryDir dir;
        Endpoints endpoints = DefaultEndpoints();
        endpoints.updateUrl = QStringLiteral("http://127.0.0.1:1/");
        RunContext run(RunServices { .endpoints = endpoints });
        standin::ScriptedPage page;
        commandtest::CountingLoadWatch watch;
        CommandSession session(run, page, watch, nullptr);
        standin::RecordingUpdateHost host(dir.path(), [] { return QStringLiteral("Lumetra Trades 1.0"); });
        int firstPageTold = 0;
        session.StartUpdateCheck(host, [&] { ++firstPageTold; });
        QTest::qWait(2 * kFirstPageTimerMs);
        QVERIFY(session.UpdateCheck().Waiting());
        QCOMPARE(firstPageTold, 0);
        session.PageFinished();
        session.PageFinished();
        QTRY_VERIFY(!session.UpdateCheck().Waiting());
        QVERIFY(!session.UpdateCheck().Running());
        QCOMPARE(firstPageTold, 1);
        QCOMPARE(host.ends, 0);
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestCommandSession)
#include "TestCommandSession.moc"

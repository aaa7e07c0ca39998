// One command at a time: refusals while a command runs, and the actions
// kept for its end.

#include "core/session/CommandGuard.h"
#include "support/TestSupport.h"

#include <stdexcept>

class TestCommandGuard : public QObject {
    Q_OBJECT
private slots:
    void secondCommandIsRefused();
    void keptActionsRunAfterTheCommand();
};

void TestCommandGuard::secondCommandIsRefused()
{
    CommandGuard guard;
    QList<bool> busyStates;
    guard.SetBusyObserver([&](bool busy) { busyStates << busy; });
    bool innerRan = false;
    bool innerAccepted = true;
    QVERIFY(guard.Run([&] { innerAccepted = guard.Run([&] { innerRan = true; }); }));
    QVERIFY(!innerAccepted);
    QVERIFY(!innerRan);
    QCOMPARE(busyStates, (QList<bool> { true, false }));
    QVERIFY(!guard.Busy());

    // A command that throws frees the guard too.
    QVERIFY_THROWS_EXCEPTION(
        std::runtime_error, (void)guard.Run([] { throw std::runtime_error("step failed"); }));
    QVERIFY(!guard.Busy());
    QVERIFY(guard.Run([&] { innerRan = true; }));
    QVERIFY(innerRan);
}

void TestCommandGuard::keptActionsRunAfterTheCommand()
{
    CommandGuard guard;
    QStringList log;
    QList<bool> busyStates;
    int keptInside = 0;
    guard.SetBusyObserver([&](bool busy) { busyStates << busy; });
    QVERIFY(guard.Run([&] {
        log << "command starts";
        guard.RunWhenFree("filter", [&] { log << "filter (first click)"; });
        guard.RunWhenFree("layout", [&] { log << "layout"; });
        guard.RunWhenFree("filter", [&] { log << "filter (second click)"; });
        keptInside = guard.KeptActions();
        log << "command ends";
    }));
    QCOMPARE(keptInside, 2);
    // The latest click of a key decides, in its first click's place; the
    // controls stay disabled until the kept actions are done.
    QCOMPARE(log, (QStringList { "command starts", "command ends", "filter (second click)", "layout" }));
    QCOMPARE(busyStates, (QList<bool> { true, false }));
    QCOMPARE(guard.KeptActions(), 0);

    // With no command running the action runs at once, as a command.
    bool busyInside = false;
    guard.RunWhenFree("filter", [&] { busyInside = guard.Busy(); });
    QVERIFY(busyInside);
    QVERIFY(!guard.Busy());

    // An action kept by a kept action runs as well.
    int ran = 0;
    QVERIFY(guard.Run([&] { guard.RunWhenFree("a", [&] { guard.RunWhenFree("b", [&] { ++ran; }); }); }));
    QCOMPARE(ran, 1);
    QVERIFY(!guard.Busy());

    // Dropped actions (the program ends) never run.
    QVERIFY(guard.Run([&] {
        guard.RunWhenFree("filter", [&] { log << "dropped"; });
        guard.DropKeptActions();
    }));
    QVERIFY(!log.contains("dropped"));
}

LUMETRA_TEST_GUILESS_MAIN(TestCommandGuard)
#include "TestCommandGuard.moc"

#include "support/TestSupport.h"

#include "core/base/EventWait.h"

#include <QDateTime>
#include <QEvent>
#include <QTimer>

namespace {

// Counts the deliveries of an event that posts itself again each time, so
// every processEvents() call delivers exactly one.
class ChainedEvents : public QObject {
public:
    static constexpr QEvent::Type kType = QEvent::User;
    int delivered = 0;
    bool running = false;

    void Start()
    {
        running = true;
        QCoreApplication::postEvent(this, new QEvent(kType));
    }
    void Stop()
    {
        running = false;
        QCoreApplication::removePostedEvents(this, kType);
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != kType)
            return QObject::event(e);
        ++delivered;
        if (running)
            QCoreApplication::postEvent(this, new QEvent(kType));
        return true;
    }
};

} // namespace

class TestEventWait : public QObject {
    Q_OBJECT
private slots:
    void pumpEventsRunsTwicePerPass_data();
    void pumpEventsRunsTwicePerPass();
    void waitSecondsMakesOnePassWhenDue_data();
    void waitSecondsMakesOnePassWhenDue();
    void waitSecondsEndsAtChangeOfSecond();
    void waitSecondsRunsEventsMeanwhile();
    void waitUntil_data();
    void waitUntil();
    // Ends the application's event loops for good: keep it last.
    void waitsEndWhenApplicationQuits();
};

void TestEventWait::pumpEventsRunsTwicePerPass_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("deliveries");

    QTest::newRow("negative does nothing") << -1 << 0;
    QTest::newRow("very negative does nothing") << -1000 << 0;
    QTest::newRow("0 runs twice") << 0 << 2;
    QTest::newRow("1 runs four times") << 1 << 4;
    QTest::newRow("1000 runs 2002 times") << 1000 << 2002;
}

void TestEventWait::pumpEventsRunsTwicePerPass()
{
    QFETCH(int, count);
    QFETCH(int, deliveries);
    ChainedEvents chain;
    chain.Start();
    PumpEvents(count);
    chain.Stop();
    QCOMPARE(chain.delivered, deliveries);
}

void TestEventWait::waitSecondsMakesOnePassWhenDue_data()
{
    QTest::addColumn<int>("seconds");
    QTest::newRow("0") << 0;
    QTest::newRow("negative") << -3;
}

void TestEventWait::waitSecondsMakesOnePassWhenDue()
{
    QFETCH(int, seconds);
    ChainedEvents chain;
    chain.Start();
    WaitSeconds(seconds);
    chain.Stop();
    QCOMPARE(chain.delivered, 2 * (kWaitPassPumps + 1));
}

void TestEventWait::waitSecondsEndsAtChangeOfSecond()
{
    for (int round = 0; round < 2; ++round) {
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        WaitSeconds(1);
        const qint64 afterMs = QDateTime::currentMSecsSinceEpoch();
        // The second may change between our clock read and the helper's.
        QVERIFY2(afterMs / 1000 == before + 1 || afterMs / 1000 == before + 2,
            qPrintable(QStringLiteral("ended at %1 ms, started in second %2").arg(afterMs).arg(before)));
        // Promptly after the change, not a poll interval later (with room
        // for a machine busy with other tests).
        QVERIFY2(afterMs % 1000 < 700, qPrintable(QString::number(afterMs % 1000)));
    }
}

void TestEventWait::waitSecondsRunsEventsMeanwhile()
{
    WaitSeconds(1); // start right after a change of the second
    bool posted = false;
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(100);
    connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
    ticker.start();
    QMetaObject::invokeMethod(
        this, [&] { posted = true; }, Qt::QueuedConnection);
    QElapsedTimer clock;
    clock.start();
    WaitSeconds(1);
    QVERIFY(posted);
    QVERIFY2(clock.elapsed() >= 800, qPrintable(QString::number(clock.elapsed())));
    // A live event loop all the way: the ticks kept coming.
    QVERIFY2(ticks >= 4, qPrintable(QString::number(ticks)));
}

void TestEventWait::waitUntil_data()
{
    QTest::addColumn<int>("doneAfterMs");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<bool>("result");

    QTest::newRow("already done") << 0 << 1000 << true;
    QTest::newRow("done before the time-out") << 120 << 3000 << true;
    QTest::newRow("time-out first") << 2000 << 200 << false;
}

void TestEventWait::waitUntil()
{
    QFETCH(int, doneAfterMs);
    QFETCH(int, timeoutMs);
    QFETCH(bool, result);
    bool done = doneAfterMs == 0;
    // The timer lives no longer than this row: one still pending when the
    // row ends must not write into a stack frame that is gone.
    QObject rowScope;
    QTimer::singleShot(doneAfterMs, Qt::PreciseTimer, &rowScope, [&] { done = true; });
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(WaitUntil([&] { return done; }, timeoutMs, 20), result);
    if (result)
        QVERIFY(clock.elapsed() < timeoutMs);
    else
        QVERIFY(clock.elapsed() >= timeoutMs - 20);
}

void TestEventWait::waitsEndWhenApplicationQuits()
{
    // Once the application is told to exit, nested event loops return at
    // once; a wait that kept going would spin until its end time.
    QTimer::singleShot(100, qApp, [] { QCoreApplication::exit(0); });
    QElapsedTimer clock;
    clock.start();
    WaitSeconds(4);
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    clock.restart();
    QVERIFY(!WaitUntil([] { return false; }, 3000, 10));
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
}

LUMETRA_TEST_GUILESS_MAIN(TestEventWait)
#include "TestEventWait.moc"

#include "EventWait.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

// The longest single sleep; a longer wait sleeps again, so the timer
// interval never overflows an int.
constexpr qint64 kLongestSleepMs = 3600 * 1000;

// Runs a nested event loop for about ms milliseconds. False when the loop
// was ended by someone else before the timer fired (the application is
// quitting): then nested loops return at once, and waiting on would spin.
bool SleepInEventLoop(qint64 ms, Qt::TimerType type)
{
    QEventLoop loop;
    bool timedOut = false;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(type);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    timer.start(int(qBound<qint64>(0, ms, kLongestSleepMs)));
    loop.exec();
    return timedOut;
}

} // namespace

void PumpEvents(int count)
{
    if (count < 0)
        return;
    for (qint64 pass = 0; pass <= count; ++pass) {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
}

qint64 CurrentSecond()
{
    return QDateTime::currentSecsSinceEpoch();
}

void WaitSeconds(int seconds)
{
    WaitUntilSecond(CurrentSecond() + seconds);
}

void WaitUntilSecond(qint64 endSecond)
{
    const qint64 endMs = endSecond * 1000;
    // The first pass runs whatever is pending, as a pass of the waiting loop
    // always has; the rest of the wait sleeps in the event loop, which runs
    // every event as it comes.
    PumpEvents(kWaitPassPumps);
    for (;;) {
        const qint64 nowMs = QDateTime::currentMSecsSinceEpoch();
        if (endMs <= nowMs)
            return;
        // Wake one millisecond past the change of the second; a clock that
        // moved meanwhile is read again above.
        if (!SleepInEventLoop(endMs - nowMs + 1, Qt::PreciseTimer))
            return;
    }
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs, int pollMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        const qint64 slice = qMin<qint64>(qMax(1, pollMs), qMax<qint64>(1, deadline.remainingTime()));
        if (!SleepInEventLoop(slice, Qt::CoarseTimer))
            return done();
    }
    return true;
}

#include "EventWait.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

void PumpEvents(int count)
{
    if (count < 0)
        return;
    for (qint64 pass = 0; pass <= count; ++pass) {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
}

void WaitSeconds(int seconds)
{
    const qint64 endSecond = QDateTime::currentSecsSinceEpoch() + seconds;
    PumpEvents(0);
    for (;;) {
        const qint64 nowMs = QDateTime::currentMSecsSinceEpoch();
        if (endSecond * 1000 <= nowMs)
            return;
        // Sleep in a nested loop until the second changes; events keep running.
        QEventLoop loop;
        QTimer::singleShot(int(endSecond * 1000 - nowMs) + 1, Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs, int pollMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        QEventLoop loop;
        const int slice = int(qMin<qint64>(pollMs, qMax<qint64>(1, deadline.remainingTime())));
        QTimer::singleShot(slice, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

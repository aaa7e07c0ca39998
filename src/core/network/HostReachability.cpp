#include "HostReachability.h"

#include "core/base/Logging.h"

HostReachability::HostReachability(int giveUpAfterMs, QObject* parent)
    : QObject(parent)
    , giveUpAfterMs_(qMax(0, giveUpAfterMs))
{
    clock_.start();
}

qint64 HostReachability::UnreachableForMs() const
{
    return IsUnreachable() ? clock_.elapsed() - unreachableSinceMs_ : 0;
}

void HostReachability::NoteAnswer()
{
    lastAnswerMs_ = clock_.elapsed();
    if (!IsFailing())
        return;
    if (IsUnreachable())
        qCInfo(lcWeb) << "the host answers again after" << UnreachableForMs() << "ms";
    silentSinceMs_ = -1;
    unreachableSinceMs_ = -1;
    emit FailingChanged(false);
}

// Judged when a failure comes in, not on a clock of its own: an attempt that
// is still under way may yet bring an answer, and a silent one ends at the
// first-byte limit, which is no longer than the give-up time.
void HostReachability::NoteConnectionFailure(qint64 waitedMs)
{
    const qint64 now = clock_.elapsed();
    const qint64 silentFrom = qMax(lastAnswerMs_, now - qMax<qint64>(0, waitedMs));
    if (!IsFailing()) {
        silentSinceMs_ = silentFrom;
        emit FailingChanged(true);
    } else {
        silentSinceMs_ = qMin(silentSinceMs_, silentFrom);
    }
    if (IsUnreachable() || now - silentSinceMs_ < giveUpAfterMs_)
        return;
    unreachableSinceMs_ = now;
    qCWarning(lcWeb) << "host unreachable: no answer for" << now - silentSinceMs_ << "ms while requests were out";
    emit BecameUnreachable();
}

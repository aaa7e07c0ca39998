#include "HostReachability.h"

#include "core/base/Logging.h"

HostReachability::HostReachability(int giveUpAfterMs, QObject* parent)
    : QObject(parent)
    , giveUpAfterMs_(qMax(0, giveUpAfterMs))
{
    clock_.start();
    judge_.setSingleShot(true);
    judge_.setTimerType(Qt::PreciseTimer);
    connect(&judge_, &QTimer::timeout, this, &HostReachability::Judge);
}

qint64 HostReachability::UnreachableForMs() const
{
    return IsUnreachable() ? clock_.elapsed() - unreachableSinceMs_ : 0;
}

qint64 HostReachability::SilentForMs() const
{
    return IsFailing() ? clock_.elapsed() - silentSinceMs_ : 0;
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
    judge_.stop();
    emit FailingChanged(false);
}

// A failure says since when the host has been silent at the latest; the
// verdict comes once the silence has lasted the give-up time, unless an
// answer came meanwhile. Answers to other requests that were out when a
// silent one began still count: the give-up time runs from the last one.
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
    if (IsUnreachable())
        return;
    const qint64 left = giveUpAfterMs_ - (now - silentSinceMs_);
    if (left > 0)
        judge_.start(int(left));
    else
        Judge();
}

void HostReachability::Judge()
{
    const qint64 now = clock_.elapsed();
    if (!IsFailing() || IsUnreachable())
        return;
    if (now - silentSinceMs_ < giveUpAfterMs_) {
        judge_.start(int(giveUpAfterMs_ - (now - silentSinceMs_)));
        return;
    }
    unreachableSinceMs_ = now;
    qCWarning(lcWeb) << "host unreachable: no answer for" << now - silentSinceMs_ << "ms while requests were out";
    emit BecameUnreachable();
}

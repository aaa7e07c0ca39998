#include "HostReachability.h"

#include "core/base/Logging.h"

HostReachability::HostReachability(int giveUpAfterMs, QObject* parent)
    : QObject(parent)
    , giveUpAfterMs_(qMax(0, giveUpAfterMs))
{
}

void HostReachability::NoteAnswer()
{
    if (!IsFailing())
        return;
    if (unreachable_)
        qCInfo(lcWeb) << "the host answers again";
    failingSince_.invalidate();
    unreachable_ = false;
    emit FailingChanged(false);
}

// Judged when a failure comes in, not on a clock of its own: an attempt that
// is still under way may yet bring an answer.
void HostReachability::NoteConnectionFailure()
{
    if (!IsFailing()) {
        failingSince_.start();
        emit FailingChanged(true);
    }
    if (unreachable_ || failingSince_.elapsed() < giveUpAfterMs_)
        return;
    unreachable_ = true;
    qCWarning(lcWeb) << "host unreachable: connection failures for" << failingSince_.elapsed()
                     << "ms without an answer";
    emit BecameUnreachable();
}

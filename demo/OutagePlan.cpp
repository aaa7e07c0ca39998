#include "OutagePlan.h"

namespace demo {

OutagePlan::OutagePlan(qint64 after, int seconds)
    : after_(after)
    , durationMs_(qint64(seconds) * 1000)
{
}

bool OutagePlan::Refuses(quint64 requestNumber)
{
    if (after_ < 0 || durationMs_ <= 0 || requestNumber < quint64(after_))
        return false;
    if (!clock_.isValid())
        clock_.start();
    return clock_.elapsed() < durationMs_;
}

} // namespace demo

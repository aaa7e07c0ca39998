#include "FailurePlan.h"

namespace demo {
namespace {

// SplitMix64: a well-mixed 64-bit value from any counter.
quint64 Mix(quint64 x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

} // namespace

FailurePlan::FailurePlan(quint64 seed, double failRate)
    : seed_(seed)
    , failRate_(failRate)
{
}

FailurePlan::Outcome FailurePlan::ForRequest(quint64 requestNumber) const
{
    if (failRate_ <= 0)
        return Outcome::Serve;
    const quint64 bits = Mix(Mix(seed_) ^ requestNumber);
    const double draw = double(bits >> 11) * 0x1.0p-53; // uniform in [0, 1)
    if (draw >= failRate_)
        return Outcome::Serve;
    return (bits & 1) ? Outcome::DropConnection : Outcome::BusyPage;
}

} // namespace demo

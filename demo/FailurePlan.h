#pragma once
// Decides which detail-page requests fail, from the seed and the request's
// number alone, so a run with the same seed fails the same requests.

#include <QtGlobal>

namespace demo {

class FailurePlan {
public:
    enum class Outcome { Serve, BusyPage, DropConnection };

    FailurePlan(quint64 seed, double failRate);
    // The outcome of the request with this number (0 for the first).
    Outcome ForRequest(quint64 requestNumber) const;

private:
    quint64 seed_;
    double failRate_;
};

} // namespace demo

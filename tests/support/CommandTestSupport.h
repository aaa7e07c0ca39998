#pragma once
// Stand-ins at the command work's seams: the wait for the next list page and
// the measuring of texts for the column fit.

#include "core/session/PageLoadWatch.h"
#include "core/text/TextMeasurer.h"

#include <algorithm>

namespace commandtest {

// Every wait succeeds at once; the first failingLoads loads fail for the
// network. Counts how it was used.
class CountingLoadWatch : public PageLoadWatch {
public:
    void Arm() override { ++arms; }
    bool WaitLoaded(int timeoutMs) override
    {
        ++waits;
        lastTimeout = timeoutMs;
        lastFailed = failingLoads > 0;
        failingLoads = std::max(0, failingLoads - 1);
        return true;
    }
    bool LastLoadFailed() const override { return lastFailed; }
    void RetryLoad() override { ++retries; }
    int arms = 0;
    int waits = 0;
    int lastTimeout = 0;
    int failingLoads = 0;
    bool lastFailed = false;
    int retries = 0;
};

// Seven twips for every character; an empty text has no width.
class FixedWidthMeasurer : public TextMeasurer {
public:
    double TextWidth(const QString& text) const override { return text.isEmpty() ? 0 : 7.0 * text.size(); }
};

} // namespace commandtest

#pragma once
// A network outage of the detail pages: after a given number of detail
// requests, every detail request fails at the connection level for a while
// (the connection is closed at once, without an answer), then the pages
// come back. List pages keep working, as they do when only the trade host
// is away.

#include <QElapsedTimer>
#include <QtGlobal>

namespace demo {

class OutagePlan {
public:
    // No outage when after is negative or seconds is 0.
    OutagePlan(qint64 after, int seconds);
    // Whether the detail request with this number (0 for the first) falls
    // into the outage. The outage's clock starts at its first request.
    bool Refuses(quint64 requestNumber);

private:
    qint64 after_;
    qint64 durationMs_;
    QElapsedTimer clock_;
};

} // namespace demo

#pragma once
// Progress operations of long commands. One progress state and one window
// serve the whole program; a new StartProgress takes the window over.

#include "ProgressView.h"

#include <QDateTime>
#include <QString>
#include <memory>

struct ProgressState {
    QString message;
    qint32 total = 0;
    qint32 position = 0;
    QDateTime startTime; // whole seconds
};

// The progress of the run's long commands: one state and one window serve
// the whole run; a new StartProgress takes the window over. Without a view
// of its own it drives a headless one.
class Progress {
public:
    Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // The window the operations drive; nullptr goes back to the headless
    // view. The view is not owned; it reports the user's stop here.
    void SetView(ProgressView* view);
    ProgressView& View();
    const ProgressState& State() const { return state_; }
    ProgressState& MutableState() { return state_; }

    // The user's own request to stop the long command: closing the progress
    // window or the program. Other things that unload the window
    // (CloseProgress) are not a request. A command compares the count
    // before and after to learn whether it was asked to stop.
    void RequestStop() { ++stopRequests_; }
    quint64 StopRequests() const { return stopRequests_; }

private:
    ProgressState state_;
    ProgressView* view_ = nullptr;
    std::unique_ptr<ProgressView> headless_;
    quint64 stopRequests_ = 0;
};

// Shows the window with a new message and an empty bar. A negative start
// keeps the current position; the position used is returned.
qint32 StartProgress(Progress& progress, const QString& message, qint32 total, qint32 start = 0);
// The mode of a step that also refreshes counter and times: "pages", matched
// in any case.
inline QString ProgressPagesMode()
{
    return QStringLiteral("pages");
}
// mode ProgressPagesMode() also refreshes counter and times; "" only the bar
// and percentage; any other text becomes the message.
void StepProgress(Progress& progress, qint32 step, const QString& mode);
void CloseProgress(Progress& progress);
// Changes the total of the display that is running (once a command learns
// how much work there is); counter and times follow from the next step.
void SetProgressTotal(Progress& progress, qint32 total);
// While the command waits for the network: the message, and the times
// label's time left says so ("0:42/等待网络"), as no estimate holds then.
void ShowNetworkWait(Progress& progress, const QString& message);
// True while the window is loaded: false once the user has closed it.
bool ProgressWindowOpen(Progress& progress);

// The arithmetic behind the window's texts.
double ProgressFraction(qint64 done, qint64 total); // rounded down to 0.001
QString ProgressPercentText(double fraction); // "33.3%"
QString ProgressCounterText(qint64 done, qint64 total); // "(1/3)"
QString ProgressTimesText(qint64 elapsedSeconds, double fraction); // "0:10/0:30/0:40"

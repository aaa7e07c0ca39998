#pragma once
// Progress operations of long commands. One progress state and one window
// serve the whole program; a new StartProgress takes the window over.

#include "ProgressView.h"

#include <QDateTime>
#include <QString>

struct ProgressState {
    QString message;
    qint32 total = 0;
    qint32 position = 0;
    QDateTime startTime; // whole seconds
};

// Installs the window the operations drive; nullptr installs the built-in
// headless view. The view is not owned.
void SetProgressView(ProgressView* view);
const ProgressState& CurrentProgressState();

// Shows the window with a new message and an empty bar. A negative start
// keeps the current position; the position used is returned.
qint32 StartProgress(const QString& message, qint32 total, qint32 start = 0);
// mode "pages" (any case) also refreshes counter and times; "" only the bar
// and percentage; any other text becomes the message.
void StepProgress(qint32 step, const QString& mode);
void CloseProgress();
// Changes the total of the display that is running (once a command learns
// how much work there is); counter and times follow from the next step.
void SetProgressTotal(qint32 total);
// True while the window is loaded: false once the user has closed it.
bool ProgressWindowOpen();

// The user's own request to stop the long command: closing the progress
// window (views report it here) or the program. Other things that unload
// the window (CloseProgress) are not a request. A command compares the
// count before and after to learn whether it was asked to stop.
void RequestProgressStop();
quint64 ProgressStopRequests();

// The arithmetic behind the window's texts.
double ProgressFraction(qint64 done, qint64 total); // rounded down to 0.001
QString ProgressPercentText(double fraction); // "33.3%"
QString ProgressCounterText(qint64 done, qint64 total); // "(1/3)"
QString ProgressTimesText(qint64 elapsedSeconds, double fraction); // "0:10/0:30/0:40"

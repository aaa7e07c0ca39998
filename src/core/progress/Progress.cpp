#include "Progress.h"

#include "RecordingProgressView.h"
#include "core/text/TextHelpers.h"

#include <QCoreApplication>
#include <cmath>

namespace {

ProgressState state;
ProgressView* installedView = nullptr;
quint64 stopRequests = 0;

ProgressView& View()
{
    static RecordingProgressView headless;
    return installedView ? *installedView : headless;
}

// Touching a control of an unloaded window loads it, hidden.
ProgressView& LoadedView()
{
    ProgressView& view = View();
    if (!view.IsLoaded())
        view.Load();
    return view;
}

void LetEventsRunOnce()
{
    QCoreApplication::processEvents();
}

void SetProgressPosition(qint32 p)
{
    state.position = p;
    if (state.total != 0)
        LoadedView().PaintBar(double(p) / double(state.total));
    LetEventsRunOnce();
}

} // namespace

void SetProgressView(ProgressView* view)
{
    installedView = view;
}
const ProgressState& CurrentProgressState()
{
    return state;
}

double ProgressFraction(qint64 done, qint64 total)
{
    if (total == 0)
        return 0;
    // Whole thousandths, rounded down exactly: done / total * 1000 in
    // floating point can land a hair below a whole number (and lose a
    // thousandth) or above it.
    if (total < 0) {
        done = -done;
        total = -total;
    }
    const qint64 scaled = done * 1000;
    qint64 thousandths = scaled / total;
    if (scaled % total != 0 && scaled < 0)
        --thousandths;
    return double(thousandths) / 1000.0;
}

QString ProgressPercentText(double fraction)
{
    // fraction is a multiple of 0.001; round away the binary noise of ×100.
    const double percent = std::round(fraction * 1000.0) / 10.0;
    return NumberText(percent) + QLatin1Char('%');
}

QString ProgressCounterText(qint64 done, qint64 total)
{
    return QStringLiteral("(%1/%2)").arg(done).arg(total);
}

QString ProgressTimesText(qint64 elapsedSeconds, double fraction)
{
    // The window asks only from 0.001 on; below that there is no estimate.
    if (!(fraction >= 0.001))
        fraction = 1.0;
    const qint64 estimate = qint64(RoundHalfToEven(double(elapsedSeconds) / fraction));
    return FormatDuration(elapsedSeconds) + QLatin1Char('/') + FormatDuration(estimate - elapsedSeconds)
        + QLatin1Char('/') + FormatDuration(estimate);
}

qint32 StartProgress(const QString& message, qint32 total, qint32 start)
{
    state.message = message;
    state.total = total;
    LoadedView().SetMessage(message);
    LetEventsRunOnce();
    if (start < 0)
        start = state.position;
    LoadedView().ClearBar();
    SetProgressPosition(start);
    LoadedView().Show();
    state.startTime = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch());
    LetEventsRunOnce();
    return start;
}

void StepProgress(qint32 step, const QString& mode)
{
    if (state.total < 1)
        state.total = 1;
    const qint64 done = qint64(state.position) + step;
    const double fraction = ProgressFraction(done, state.total);
    LoadedView().SetPercentText(ProgressPercentText(fraction));
    if (!mode.isEmpty()) {
        if (mode.compare(QLatin1String("pages"), Qt::CaseInsensitive) == 0) {
            if (fraction >= 0.001) {
                const qint64 elapsed = state.startTime.isValid()
                    ? QDateTime::currentSecsSinceEpoch() - state.startTime.toSecsSinceEpoch()
                    : 0;
                LoadedView().SetTimesText(ProgressTimesText(elapsed, fraction));
                LoadedView().SetCounterText(ProgressCounterText(done, state.total));
            }
        } else {
            state.message = mode;
            LoadedView().SetMessage(mode);
        }
    }
    SetProgressPosition(qint32(done));
}

void SetProgressTotal(qint32 total)
{
    state.total = total;
}

void CloseProgress()
{
    LetEventsRunOnce();
    ProgressView& view = View();
    if (view.IsLoaded())
        view.Unload();
}

bool ProgressWindowOpen()
{
    return View().IsLoaded();
}

void RequestProgressStop()
{
    ++stopRequests;
}

quint64 ProgressStopRequests()
{
    return stopRequests;
}

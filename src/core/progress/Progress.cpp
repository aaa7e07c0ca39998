#include "Progress.h"

#include "RecordingProgressView.h"
#include "core/text/TextHelpers.h"

#include <QCoreApplication>
#include <cmath>

Progress::Progress()
    : headless_(std::make_unique<RecordingProgressView>())
{
    headless_->OnUserStop([this] { RequestStop(); });
}

void Progress::SetView(ProgressView* view)
{
    if (view_)
        view_->OnUserStop({});
    view_ = view;
    if (view_)
        view_->OnUserStop([this] { RequestStop(); });
}

ProgressView& Progress::View()
{
    return view_ ? *view_ : *headless_;
}

namespace {

// Touching a control of an unloaded window loads it, hidden.
ProgressView& LoadedView(Progress& progress)
{
    ProgressView& view = progress.View();
    if (!view.IsLoaded())
        view.Load();
    return view;
}

void LetEventsRunOnce()
{
    QCoreApplication::processEvents();
}

void SetProgressPosition(Progress& progress, qint32 p)
{
    ProgressState& state = progress.MutableState();
    state.position = p;
    if (state.total != 0)
        LoadedView(progress).PaintBar(double(p) / double(state.total));
    LetEventsRunOnce();
}

} // namespace

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

qint32 StartProgress(Progress& progress, const QString& message, qint32 total, qint32 start)
{
    ProgressState& state = progress.MutableState();
    state.message = message;
    state.total = total;
    LoadedView(progress).SetMessage(message);
    LetEventsRunOnce();
    if (start < 0)
        start = state.position;
    LoadedView(progress).ClearBar();
    SetProgressPosition(progress, start);
    LoadedView(progress).Show();
    state.startTime = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch());
    LetEventsRunOnce();
    return start;
}

void StepProgress(Progress& progress, qint32 step, const QString& mode)
{
    ProgressState& state = progress.MutableState();
    if (state.total < 1)
        state.total = 1;
    const qint64 done = qint64(state.position) + step;
    const double fraction = ProgressFraction(done, state.total);
    LoadedView(progress).SetPercentText(ProgressPercentText(fraction));
    if (!mode.isEmpty()) {
        if (mode.compare(ProgressPagesMode(), Qt::CaseInsensitive) == 0) {
            if (fraction >= 0.001) {
                const qint64 elapsed = state.startTime.isValid()
                    ? QDateTime::currentSecsSinceEpoch() - state.startTime.toSecsSinceEpoch()
                    : 0;
                LoadedView(progress).SetTimesText(ProgressTimesText(elapsed, fraction));
                LoadedView(progress).SetCounterText(ProgressCounterText(done, state.total));
            }
        } else {
            state.message = mode;
            LoadedView(progress).SetMessage(mode);
        }
    }
    SetProgressPosition(progress, qint32(done));
}

void SetProgressTotal(Progress& progress, qint32 total)
{
    progress.MutableState().total = total;
}

void CloseProgress(Progress& progress)
{
    LetEventsRunOnce();
    ProgressView& view = progress.View();
    if (view.IsLoaded())
        view.Unload();
}

void ShowNetworkWait(Progress& progress, const QString& message)
{
    const ProgressState& state = progress.State();
    const qint64 elapsed = state.startTime.isValid()
        ? QDateTime::currentSecsSinceEpoch() - state.startTime.toSecsSinceEpoch()
        : 0;
    LoadedView(progress).SetTimesText(FormatDuration(elapsed) + QStringLiteral("/等待网络"));
    if (message != state.message)
        StepProgress(progress, 0, message);
    else
        LetEventsRunOnce();
}

bool ProgressWindowOpen(Progress& progress)
{
    return progress.View().IsLoaded();
}

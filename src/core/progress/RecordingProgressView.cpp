#include "RecordingProgressView.h"

#include "Progress.h"

#include <algorithm>

void RecordingProgressView::Load()
{
    if (loaded)
        return;
    loaded = true;
    shown = false;
    ++loads;
    message = QStringLiteral("进度条指示器");
    counter.clear();
    percent = QStringLiteral("0%");
    times.clear();
    bar = 0;
}

void RecordingProgressView::Show()
{
    Load();
    shown = true;
    ++shows;
}

void RecordingProgressView::Unload()
{
    if (!loaded)
        return;
    loaded = false;
    shown = false;
    ++unloads;
}

void RecordingProgressView::UserCloses()
{
    Unload();
    ReportUserStop();
}

void RecordingProgressView::PaintBar(double fraction)
{
    ++paints;
    bar = std::max(bar, std::clamp(fraction, 0.0, 1.0));
}

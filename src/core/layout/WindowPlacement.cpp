#include "WindowPlacement.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

QString WindowPlacementText(const WindowPlacement& placement)
{
    const QRect& r = placement.normal;
    return QStringLiteral("%1,%2,%3,%4,%5")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(placement.maximized ? 1 : 0);
}

std::optional<WindowPlacement> WindowPlacementFromText(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 5)
        return std::nullopt;
    int values[5] = {};
    for (int i = 0; i < 5; ++i) {
        bool ok = false;
        values[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (values[2] <= 0 || values[3] <= 0 || (values[4] != 0 && values[4] != 1))
        return std::nullopt;
    return WindowPlacement { QRect(values[0], values[1], values[2], values[3]), values[4] == 1 };
}

QSize FirstStartSize(const QSize& workArea, const QSize& minimum)
{
    const QSize share(int(std::lround(workArea.width() * kFirstStartShare)),
        int(std::lround(workArea.height() * kFirstStartShare)));
    return share.expandedTo(minimum).boundedTo(workArea);
}

namespace {

// The start of a span of length `length` kept inside [areaStart, areaStart + areaLength).
int KeptInside(int start, int length, int areaStart, int areaLength)
{
    const int last = areaStart + areaLength - length;
    if (last < areaStart)
        return areaStart;
    return std::clamp(start, areaStart, last);
}

} // namespace

QRect KeptOnScreen(const QRect& rect, const QRect& workArea, const QSize& minimum)
{
    const QSize size = rect.size().boundedTo(workArea.size()).expandedTo(minimum);
    const int left = KeptInside(rect.x(), size.width(), workArea.x(), workArea.width());
    const int top = KeptInside(rect.y(), size.height(), workArea.y(), workArea.height());
    return QRect(QPoint(left, top), size);
}

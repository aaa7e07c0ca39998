#pragma once
// Where the main window opens: large and centred on the first start, then
// where the user left it. The size, position and maximised state are kept
// as one settings text; a stored place that no longer fits the screen (a
// smaller monitor, a monitor unplugged) is moved and shrunk onto it.
// Pixels throughout; the window applies the results.

#include <QRect>
#include <QString>
#include <optional>

inline const char* const kWindowPlacementKey = "Window_Place";
// Share of the work area the window takes on the first start.
inline constexpr double kFirstStartShare = 0.9;

struct WindowPlacement {
    QRect normal; // client rectangle when not maximised
    bool maximized = false;
    bool operator==(const WindowPlacement&) const = default;
};

// "left,top,width,height,maximised" ("120,80,1600,900,0").
QString WindowPlacementText(const WindowPlacement& placement);
// The placement a text holds; nothing for a text that is not five whole
// numbers or whose size is not positive.
std::optional<WindowPlacement> WindowPlacementFromText(const QString& text);

// The first start's size: kFirstStartShare of the work area, never less than
// minimum, never more than the work area.
QSize FirstStartSize(const QSize& workArea, const QSize& minimum);

// rect moved (and, when larger, shrunk to no less than minimum) so that it
// lies inside workArea; a rect already inside comes back unchanged. Where
// even minimum does not fit, the rect starts at the work area's top-left.
QRect KeptOnScreen(const QRect& rect, const QRect& workArea, const QSize& minimum);

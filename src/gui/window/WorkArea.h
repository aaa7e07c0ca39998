#pragma once
// The desktop work area: the part of the primary screen that the task bar
// leaves free, and centring a window on it. Lengths in twips.

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Height in twips of the strip below the work area of the primary screen (0
// when the task bar sits at a side or the top), rounded half to even.
int GetTaskbarHeight();

// Moves window, keeping its size, so that it is centred horizontally on the
// primary screen and vertically on the part above that strip. Nothing
// happens when there is no screen.
void CenterOnWorkArea(QWidget* window);

// The arithmetic behind the two, on given screen and work-area rectangles
// in pixels, for any twips-per-pixel factor.
int TaskbarHeightTwips(const QRect& screen, const QRect& workArea, double twipsPerPixel);
QPoint CenteredTopLeft(const QRect& screen, const QSize& window, int taskbarTwips, double twipsPerPixel);

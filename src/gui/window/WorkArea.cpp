#include "WorkArea.h"

#include "core/text/TextHelpers.h"

#include "gui/base/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

int TaskbarHeightTwips(const QRect& screen, const QRect& workArea, double twipsPerPixel)
{
    const int stripPixels = (screen.y() + screen.height()) - (workArea.y() + workArea.height());
    return int(RoundHalfToEven(double(stripPixels) * twipsPerPixel));
}

QPoint CenteredTopLeft(const QRect& screen, const QSize& window, int taskbarTwips, double twipsPerPixel)
{
    const double screenWidth = screen.width() * twipsPerPixel;
    const double screenHeight = screen.height() * twipsPerPixel;
    const double left = (screenWidth - window.width() * twipsPerPixel) / 2.0;
    const double top = (screenHeight - window.height() * twipsPerPixel - taskbarTwips) / 2.0;
    return screen.topLeft()
        + QPoint(int(std::lround(left / twipsPerPixel)), int(std::lround(top / twipsPerPixel)));
}

int GetTaskbarHeight()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 0;
    return TaskbarHeightTwips(screen->geometry(), screen->availableGeometry(), TwipsPerPixel());
}

void CenterOnWorkArea(QWidget* window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!window || !screen)
        return;
    // The outer size, frame included, once the window has one.
    const QSize outer
        = window->isWindow() && window->isVisible() ? window->frameGeometry().size() : window->size();
    window->move(CenteredTopLeft(screen->geometry(), outer, GetTaskbarHeight(), TwipsPerPixel()));
}

#include "Twips.h"

#include "core/layout/WindowLayout.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <cmath>

double TwipsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

int TwipsToPixels(double twips)
{
    return int(std::lround(twips / TwipsPerPixel()));
}

double PixelsToTwips(double pixels)
{
    return pixels * TwipsPerPixel();
}

QRect TwipsRectToPixels(const TwipsRect& rect)
{
    return QRect(TwipsToPixels(rect.left), TwipsToPixels(rect.top), TwipsToPixels(rect.width),
        TwipsToPixels(rect.height));
}

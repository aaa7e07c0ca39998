#pragma once
// Lengths on windows are in twips: 1440 per inch, 15 per pixel at 96 dpi.
// Conversions follow the primary screen's logical dpi.

class QRect;
class QWidget;
struct TwipsRect;

double TwipsPerPixel();
int TwipsToPixels(double twips);
double PixelsToTwips(double pixels);
// The rectangle in pixels.
QRect TwipsRectToPixels(const TwipsRect& rect);

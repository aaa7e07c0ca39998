#pragma once
// Lengths on windows are in twips: 1440 per inch, 15 per pixel at 96 dpi.
// Conversions follow the primary screen's logical dpi.

class QWidget;

double TwipsPerPixel();
int TwipsToPixels(double twips);
double PixelsToTwips(double pixels);

#pragma once
// The parcel's barcode on its packing slip: the first order number as
// Code128, under the recipient block, so a scanner at the packing bench
// finds the parcel again. Bars come from libzint (a maintained encoder);
// they are painted as filled rectangles, sharp at any printer's
// resolution.

#include <QRectF>
#include <QString>
#include <QVector>

class PageFlow;
class QPainter;

// A symbol's bars, in modules (the narrowest bar's width) from its left
// edge; quiet zones not included.
struct BarcodeBars {
    struct Bar {
        double left = 0;
        double width = 0;
    };
    QVector<Bar> bars;
    int modules = 0; // the symbol's whole width
    QString error; // why text could not be encoded; empty when it was

    bool IsEmpty() const { return bars.isEmpty(); }
};

// text as Code128 (ASCII only; an order number always is).
BarcodeBars Code128Bars(const QString& text);

// Modules of light space each side that a scanner needs to find the symbol.
inline constexpr int kQuietZoneModules = 10;
// The narrowest bar the slips use, and the widest: a 203 dpi label printer
// prints 0.125 mm dots, so a module of whole dots keeps every bar's width.
inline constexpr double kDotMm = 0.125;
inline constexpr double kWidestModuleMm = 0.5;
inline constexpr double kNarrowestModuleMm = 0.25;

// The module width for a symbol of modules in widthMm with its quiet zones:
// whole printer dots, between the narrowest and the widest; 0 when even the
// narrowest does not fit.
double ModuleWidthMm(int modules, double widthMm);

// Paints bars centred in rect (device pixels; mm pixels to the millimetre).
void PaintBarcode(QPainter& painter, const QRectF& rect, const BarcodeBars& bars, double mm);

// The slip's barcode of orderNumber, heightMm high, as the flow's next
// block. A number that cannot be encoded, or a slip too narrow for it, gets
// no barcode (logged): the order number is printed on the slip as text too.
void PaintSlipBarcode(PageFlow& flow, const QString& orderNumber, double mm, double heightMm);

// Bar heights of the two kinds of slip.
inline constexpr double kA5BarcodeHeightMm = 14;
inline constexpr double kLabelBarcodeHeightMm = 10;

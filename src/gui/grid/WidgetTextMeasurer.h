#pragma once
// Text widths in twips measured with a real font: the widest line of a
// multi-line text. The main window hands one with the grid's font to its
// run for the column fit.

#include "core/text/TextMeasurer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QVector>

class WidgetTextMeasurer : public TextMeasurer {
public:
    explicit WidgetTextMeasurer(const QFont& font);

    // A line is as wide as the sum of its characters' advances, as the grid
    // control measured; kerning is left out, which only ever narrows a line
    // by a fraction of a pixel and would cost a full text shaping per cell.
    double TextWidth(const QString& text) const override;

private:
    double Advance(QStringView character) const;

    QFontMetricsF metrics_;
    // Advances of the basic plane's characters in pixels, filled as met;
    // negative means not measured yet. A fit of tens of thousands of cells
    // meets only a few thousand distinct characters.
    mutable QVector<float> advances_;
};

#pragma once
// Text widths in twips measured with a real font: the widest line of a
// multi-line text. The main window installs one with its own font for the
// column fit (SetTradeGridMeasurer).

#include "core/text/TextMeasurer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QVector>

class WidgetTextMeasurer : public TextMeasurer {
public:
    explicit WidgetTextMeasurer(const QFont& font);

    void SetFont(const QFont& font);
    QFont Font() const { return font_; }

    // A line is as wide as the sum of its characters' advances, as the grid
    // control measured; kerning is left out, which only ever narrows a line
    // by a fraction of a pixel and would cost a full text shaping per cell.
    double TextWidth(const QString& text) const override;

private:
    double Advance(QStringView character) const;

    QFont font_;
    QFontMetricsF metrics_;
    // Advances of the basic plane's characters in pixels, filled as met;
    // negative means not measured yet. A fit of tens of thousands of cells
    // meets only a few thousand distinct characters.
    mutable QVector<float> advances_;
};

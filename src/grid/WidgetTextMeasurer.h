#pragma once
// Text widths in twips measured with a real font: the widest line of a
// multi-line text. The main window installs one with its own font for the
// column fit (SetTradeGridMeasurer).

#include "common/TextMeasurer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>

class WidgetTextMeasurer : public TextMeasurer {
public:
    explicit WidgetTextMeasurer(const QFont& font);

    void SetFont(const QFont& font);
    QFont Font() const { return font_; }

    double TextWidth(const QString& text) const override;

private:
    double Measure(const QString& text) const;

    QFont font_;
    QFontMetricsF metrics_;
    // Grid columns repeat the same few texts (statuses, ratings, provinces)
    // thousands of times; shaping each once keeps a fit of many rows fast.
    mutable QHash<QString, double> cache_;
};

#pragma once
// Width of a text in the main window's font, in twips. The GUI measures
// with QFontMetrics (widest line of a multi-line text); tests supply a
// simple rule.

#include <QString>

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual double TextWidth(const QString& text) const = 0;
};

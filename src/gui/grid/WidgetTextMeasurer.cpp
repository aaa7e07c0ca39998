#include "WidgetTextMeasurer.h"

#include "gui/base/Twips.h"

#include <algorithm>

namespace {
constexpr int kBasicPlane = 0x10000;
}

WidgetTextMeasurer::WidgetTextMeasurer(const QFont& font)
    : metrics_(font)
    , advances_(kBasicPlane, -1.0f)
{
}

double WidgetTextMeasurer::Advance(QStringView character) const
{
    if (character.size() != 1)
        return metrics_.horizontalAdvance(character.toString()); // a surrogate pair
    float& known = advances_[character.front().unicode()];
    if (known < 0)
        known = float(metrics_.horizontalAdvance(character.front()));
    return known;
}

double WidgetTextMeasurer::TextWidth(const QString& text) const
{
    // Lines end in CR LF inside the grid; a lone CR or LF breaks a line too.
    double widest = 0;
    double line = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            widest = std::max(widest, line);
            line = 0;
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            line += Advance(QStringView(text).mid(i, 2));
            ++i;
            continue;
        }
        line += Advance(QStringView(text).mid(i, 1));
    }
    return PixelsToTwips(std::max(widest, line));
}

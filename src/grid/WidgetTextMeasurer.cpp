#include "WidgetTextMeasurer.h"

#include "common/Twips.h"

#include <algorithm>

namespace {
constexpr qsizetype kCacheLimit = 100'000;
}

WidgetTextMeasurer::WidgetTextMeasurer(const QFont& font)
    : font_(font)
    , metrics_(font)
{
}

void WidgetTextMeasurer::SetFont(const QFont& font)
{
    font_ = font;
    metrics_ = QFontMetricsF(font);
    cache_.clear();
}

double WidgetTextMeasurer::TextWidth(const QString& text) const
{
    if (text.isEmpty())
        return 0;
    const auto hit = cache_.constFind(text);
    if (hit != cache_.constEnd())
        return hit.value();
    const double width = Measure(text);
    if (cache_.size() >= kCacheLimit)
        cache_.clear();
    cache_.insert(text, width);
    return width;
}

double WidgetTextMeasurer::Measure(const QString& text) const
{
    // Lines end in CR LF inside the grid; a lone CR or LF breaks a line too.
    double widest = 0;
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (start <= size) {
        qsizetype end = start;
        while (end < size && text.at(end) != u'\r' && text.at(end) != u'\n')
            ++end;
        widest = std::max(
            widest, metrics_.horizontalAdvance(QStringView(text).mid(start, end - start).toString()));
        if (end < size && text.at(end) == u'\r' && end + 1 < size && text.at(end + 1) == u'\n')
            ++end;
        start = end + 1;
    }
    return PixelsToTwips(widest);
}

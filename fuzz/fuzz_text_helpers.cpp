// CutAtMarker, StripBetween and the number conversions on arbitrary text.
// Input: marker and text separated by the first NUL byte.

#include "FuzzSupport.h"
#include "core/text/TextHelpers.h"

#include <cmath>

namespace {

// Strips by the plain restart-from-the-beginning loop.
QString ReferenceStrip(QString text, const QString& open, const QString& close)
{
    for (;;) {
        const qsizetype p = text.indexOf(open);
        if (p < 0)
            return text;
        const qsizetype q = text.indexOf(close, p + 1);
        text = text.left(p) + (q < 0 ? QString() : text.mid(q + close.size()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = fuzzsupport::Text(data, size);
    const qsizetype split = input.indexOf(QChar(0));
    const QString marker = split < 0 ? QStringLiteral("<") : input.left(split);
    const QString original = split < 0 ? input : input.mid(split + 1);
    if (original.size() > 4096)
        return 0;

    if (!marker.isEmpty()) {
        for (const bool forward : { true, false }) {
            QString text = original;
            const QString cut = CutAtMarker(text, marker, forward);
            if (original.contains(marker)) {
                const QString joined = forward ? cut + marker + text : text + marker + cut;
                FUZZ_CHECK(joined == original);
                FUZZ_CHECK(!(forward ? cut : text).contains(marker) || !forward);
            } else {
                FUZZ_CHECK(cut.isEmpty() && text == original);
            }
        }
    }

    // Tag stripping: one-pass and restarting versions agree, no "<" remains.
    QString stripped = original;
    StripBetween(stripped, QStringLiteral("<"), QStringLiteral(">"), QString());
    FUZZ_CHECK(!stripped.contains(QLatin1Char('<')));
    FUZZ_CHECK(stripped == ReferenceStrip(original, QStringLiteral("<"), QStringLiteral(">")));
    if (marker.size() == 1) {
        QString custom = original;
        StripBetween(custom, marker, QStringLiteral(">"), QString());
        FUZZ_CHECK(!custom.contains(marker));
    }

    // Numbers: the text of a parsed number parses back to the same text.
    const double value = LeadingNumber(original);
    FUZZ_CHECK(std::isfinite(value));
    const QString text = NumberText(value);
    FUZZ_CHECK(NumberText(LeadingNumber(text)) == text);

    const QString normalized = NormalizeLineBreaks(original);
    FUZZ_CHECK(NormalizeLineBreaks(normalized) == normalized);
    return 0;
}

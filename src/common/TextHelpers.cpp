#include "TextHelpers.h"

#include <cmath>
#include <cstdlib>

QString CutAtMarker(QString& text, const QString& marker, bool forward)
{
    const qsizetype p = forward ? text.indexOf(marker) : text.lastIndexOf(marker);
    if (p < 0 || marker.isEmpty())
        return QString();
    QString before = text.left(p);
    QString after = text.mid(p + marker.size());
    if (forward) {
        text = std::move(after);
        return before;
    }
    text = std::move(before);
    return after;
}

namespace {

// The loop as stated: find the first open marker, drop up to the close
// marker, start over. Needed only for multi-character open markers, where
// removing a span can join two halves into a new occurrence.
QString StripBetweenRestarting(QString text, const QString& open, const QString& close,
                               const QString& replacement)
{
    for (;;) {
        const qsizetype p = text.indexOf(open);
        if (p < 0)
            return text;
        const qsizetype q = text.indexOf(close, p + 1);
        const qsizetype resume = q < 0 ? text.size() : q + close.size();
        text = text.left(p) + replacement + text.mid(resume);
    }
}

} // namespace

QString StripBetween(QString& text, const QString& openMarker, const QString& closeMarker,
                     const QString& replacement)
{
    if (openMarker.isEmpty())
        return text;
    if (openMarker.size() > 1 || replacement.contains(openMarker)) {
        if (replacement.contains(openMarker))
            return text; // would never end; callers never do this
        text = StripBetweenRestarting(text, openMarker, closeMarker, replacement);
        return text;
    }
    // One pass: with a one-character open marker that the replacement does
    // not contain, nothing before the resume point can hold an open marker,
    // so searching on from there gives the same result as starting over.
    QString out;
    out.reserve(text.size());
    qsizetype pos = 0;
    const qsizetype n = text.size();
    while (pos < n) {
        const qsizetype p = text.indexOf(openMarker, pos);
        if (p < 0) {
            out.append(QStringView(text).mid(pos));
            break;
        }
        out.append(QStringView(text).mid(pos, p - pos));
        out.append(replacement);
        const qsizetype q = text.indexOf(closeMarker, p + 1);
        pos = q < 0 ? n : q + closeMarker.size();
    }
    text = std::move(out);
    return text;
}

double LeadingNumber(const QString& text)
{
    // Collect the characters of the number, skipping blanks, tabs and line
    // feeds wherever they stand, then let strtod read the collected text.
    std::string digits;
    digits.reserve(32);
    enum class Stage { Sign, Mantissa, ExponentSign, Exponent } stage = Stage::Sign;
    bool seenPoint = false;
    bool mantissaDigits = false;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        if (stage == Stage::Sign) {
            stage = Stage::Mantissa;
            if (c == u'+' || c == u'-') {
                digits.push_back(char(c));
                continue;
            }
        }
        if (stage == Stage::Mantissa) {
            if (c >= u'0' && c <= u'9') {
                digits.push_back(char(c));
                mantissaDigits = true;
                continue;
            }
            if (c == u'.' && !seenPoint) {
                seenPoint = true;
                digits.push_back('.');
                continue;
            }
            if ((c == u'E' || c == u'e') && mantissaDigits) {
                stage = Stage::ExponentSign;
                digits.push_back('e');
                continue;
            }
            break;
        }
        if (stage == Stage::ExponentSign) {
            stage = Stage::Exponent;
            if (c == u'+' || c == u'-') {
                digits.push_back(char(c));
                continue;
            }
        }
        if (stage == Stage::Exponent && c >= u'0' && c <= u'9') {
            digits.push_back(char(c));
            continue;
        }
        break;
    }
    if (!mantissaDigits)
        return 0.0;
    // strtod ignores a dangling "e" or "e+" by itself; the C locale is in
    // force in Qt programs unless set otherwise, and digits are ASCII.
    const double value = std::strtod(digits.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

QString NumberText(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return QStringLiteral("0");
    QString text = QString::number(value, 'g', 15);
    if (text.contains(QLatin1Char('e')))
        text.replace(QLatin1Char('e'), QLatin1Char('E'));
    return text;
}

QString FormatDuration(qint64 seconds)
{
    if (seconds <= 0)
        return QStringLiteral("0:0");
    const qint64 hours = seconds / 3600;
    const qint64 minutes = (seconds / 60) % 60;
    const qint64 secs = seconds % 60;
    if (hours == 0)
        return QStringLiteral("%1:%2").arg(minutes).arg(secs);
    return QStringLiteral("%1:%2:%3").arg(hours).arg(minutes).arg(secs);
}

QString SingleText(float value)
{
    if (value == 0.0f || !std::isfinite(value))
        return QStringLiteral("0");
    QString text = QString::number(double(value), 'g', 7);
    if (text.contains(QLatin1Char('e')))
        text.replace(QLatin1Char('e'), QLatin1Char('E'));
    return text;
}

QString NormalizeLineBreaks(const QString& text)
{
    if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString out;
    out.reserve(text.size() + text.size() / 16);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            out.append(QLatin1String("\r\n"));
            if (i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n')) {
            out.append(QLatin1String("\r\n"));
        } else {
            out.append(c);
        }
    }
    return out;
}

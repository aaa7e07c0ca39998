#include "TextHelpers.h"

#include <charconv>
#include <cmath>
#include <string>

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

// The plain loop: find the first open marker, drop up to the close marker,
// start over. Quadratic, so it serves only replacements that are not empty
// and open markers longer than one character, which nothing in the program
// uses.
QString StripBetweenRestarting(
    QString text, const QString& open, const QString& close, const QString& replacement)
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

// One pass with the same result as the restarting loop. The text is kept as
// out (already processed, holding no open marker before scanFrom) followed
// by text[pos...]. Removing a span can join the end of out with what follows
// into a new open marker; such a marker starts in the last open.size() - 1
// characters of out plus the replacement, so only that short tail is looked
// at again. With an empty replacement or a one-character open marker the
// tail stays shorter than the markers, which keeps the pass linear.
QString StripBetweenOnePass(
    const QString& text, const QString& open, const QString& close, const QString& replacement)
{
    const qsizetype n = text.size();
    const qsizetype openSize = open.size();
    const qsizetype closeSize = close.size();
    QString out;
    out.reserve(n);
    qsizetype pos = 0;
    qsizetype scanFrom = 0;
    for (;;) {
        // An open marker that starts in out: pending holds its characters
        // there (and any after it), text[pos...] the rest.
        QString pending;
        if (scanFrom < out.size()) {
            const QString window = out.mid(scanFrom) + text.mid(pos, openSize - 1);
            const qsizetype i = window.indexOf(open);
            if (i >= 0) {
                pending = out.mid(scanFrom + i);
                out.truncate(scanFrom + i);
            }
        }
        QString leftover;
        if (pending.isEmpty()) {
            // The usual case: the open marker lies wholly in the text.
            const qsizetype p = text.indexOf(open, pos);
            if (p < 0) {
                out.append(QStringView(text).mid(pos));
                return out;
            }
            out.append(QStringView(text).mid(pos, p - pos));
            const qsizetype q = text.indexOf(close, p + 1);
            pos = q < 0 ? n : q + closeSize;
        } else {
            // The close marker is looked for from the character after the
            // start of the open marker on, so it may begin inside pending.
            const QString head = pending + text.mid(pos, closeSize - 1);
            const qsizetype j = head.indexOf(close, 1);
            if (j >= 0 && j < pending.size()) {
                const qsizetype end = j + closeSize;
                if (end <= pending.size())
                    leftover = pending.mid(end);
                else
                    pos += end - pending.size();
            } else {
                const qsizetype q = text.indexOf(close, pos);
                pos = q < 0 ? n : q + closeSize;
            }
        }
        scanFrom = qMax<qsizetype>(0, out.size() - (openSize - 1));
        out.append(replacement);
        out.append(leftover);
    }
}

} // namespace

QString StripBetween(
    QString& text, const QString& openMarker, const QString& closeMarker, const QString& replacement)
{
    if (openMarker.isEmpty() || text.isEmpty())
        return text;
    if (replacement.contains(openMarker))
        return text; // the span would come back for ever; nothing is changed
    if (!text.contains(openMarker))
        return text;
    if (closeMarker.isEmpty()) {
        // An empty close marker matches right after the open marker's first
        // character, so each span is that one character.
        text = StripBetweenRestarting(text, openMarker, QString(), replacement);
        return text;
    }
    if (replacement.isEmpty() || openMarker.size() == 1)
        text = StripBetweenOnePass(text, openMarker, closeMarker, replacement);
    else
        text = StripBetweenRestarting(text, openMarker, closeMarker, replacement);
    return text;
}

double LeadingNumber(const QString& text)
{
    // Collect the characters of the number, skipping blanks, tabs and line
    // feeds wherever they stand, then convert the collected text.
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
    // from_chars reads the C form whatever the process locale says (Qt sets
    // the user's locale at start-up, where strtod might want a comma), and
    // stops by itself at a dangling "e" or "e+".
    const char* first = digits.data();
    const char* last = first + digits.size();
    if (*first == '+')
        ++first;
    double value = 0.0;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    (void)end;
    if (error != std::errc() || !std::isfinite(value))
        return 0.0; // beyond the double range: not a usable number
    return value;
}

double RoundHalfToEven(double value)
{
    const double down = std::floor(value);
    const double rest = value - down;
    if (rest < 0.5)
        return down;
    if (rest > 0.5)
        return down + 1;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
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

#include "TextHelpers.h"

#include <charconv>
#include <cmath>
#include <string>

#include <QVarLengthArray>

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

void AppendStrippedBetween(
    QStringView text, QChar openMarker, QStringView closeMarker, QStringView replacement, QString& out)
{
    // The part before an open marker never holds one, and neither does the
    // replacement, so the next span starts at the next open marker in text:
    // one pass gives what starting over after every span would.
    qsizetype pos = 0;
    for (qsizetype p = text.indexOf(openMarker); p >= 0; p = text.indexOf(openMarker, pos)) {
        out.append(text.sliced(pos, p - pos));
        out.append(replacement);
        const qsizetype q = text.indexOf(closeMarker, p + 1);
        if (q < 0)
            return;
        pos = q + closeMarker.size();
    }
    out.append(text.sliced(pos));
}

} // namespace

QString StripBetween(
    QString& text, const QString& openMarker, const QString& closeMarker, const QString& replacement)
{
    if (openMarker.size() != 1 || replacement.contains(openMarker) || !text.contains(openMarker))
        return text;
    QString out;
    out.reserve(text.size());
    AppendStrippedBetween(text, openMarker.front(), closeMarker, replacement, out);
    text = std::move(out);
    return text;
}

double LeadingNumber(QStringView text)
{
    // Collect the characters of the number, skipping blanks, tabs and line
    // feeds wherever they stand, then convert the collected text. Prices
    // and amounts fit the buffer's inline room, so parsing one costs no
    // allocation.
    QVarLengthArray<char, 64> digits;
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
    const char* first = digits.constData();
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
    // A whole number of at most 15 digits is written in full by the "g"
    // form too; the integer form skips its rounding.
    if (std::abs(value) < 1e15 && std::trunc(value) == value)
        return QString::number(qint64(value));
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

QString JoinParagraphs(const QStringList& parts)
{
    QStringList shown;
    for (const QString& part : parts)
        if (!part.isEmpty())
            shown.append(part);
    return shown.join(QStringLiteral("\n\n"));
}

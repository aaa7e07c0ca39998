#pragma once
// Text, number and duration helpers shared by every parser and writer.
// All searches are exact and case-sensitive. Arguments taken by non-const
// reference are cut in place: parsers cut one text several times in a row.

#include <QString>
#include <QStringList>

// Finds marker (first occurrence when forward, last otherwise). Forward
// returns the part before it and leaves the part after it in text; backward
// returns the part after it and leaves the part before it. An absent marker
// returns an empty text and leaves text unchanged.
QString CutAtMarker(QString& text, const QString& marker, bool forward);

// Replaces every span from openMarker to the next closeMarker (both
// included) by replacement; an unclosed span swallows the rest of the text.
// The result is also left in text. The open marker is one character (the
// page parsers pass "<" and ">" to drop tags); any other open marker, or a
// replacement that holds it, leaves text unchanged.
QString StripBetween(
    QString& text, const QString& openMarker, const QString& closeMarker, const QString& replacement);

// The value of the number at the start of text: blanks, tabs and line feeds
// are skipped anywhere, then an optional sign, digits with at most one
// decimal point and an optional exponent. 0 when there is none.
double LeadingNumber(QStringView text);

// Nearest whole number, a half going to the even neighbour (2.5 -> 2,
// 3.5 -> 4), whatever the processor's rounding mode.
double RoundHalfToEven(double value);

// Shortest decimal text of value with at most 15 significant digits,
// "." as decimal point, no trailing zeros ("12.5", "30", "-3.25").
QString NumberText(double value);

// Elapsed-time text without zero padding: "0:5", "1:15", "1:1:1".
// Durations of a day or more keep counting hours ("30:0:0").
QString FormatDuration(qint64 seconds);

// Text of a single-precision value with at most 7 significant digits,
// as the settings store keeps splitter fractions ("0.3529412").
QString SingleText(float value);

// Converts lone CR and lone LF to CR LF; existing CR LF pairs stay.
QString NormalizeLineBreaks(const QString& text);

// The parts that are not empty, a blank line between them: several
// messages in one box.
QString JoinParagraphs(const QStringList& parts);

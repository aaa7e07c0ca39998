#include "PieceText.h"

#include "core/text/Blanks.h"
#include "core/text/TextHelpers.h"

QString TrimBlanks(const QString& text)
{
    const QStringView trimmed = TrimBlanks(QStringView(text));
    return trimmed.size() == text.size() ? text : trimmed.toString();
}

QStringView TrimBlanks(QStringView text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text[first] == kPlainBlank)
        ++first;
    while (end > first && text[end - 1] == kPlainBlank)
        --end;
    return text.sliced(first, end - first);
}

QStringList SplitPieces(const QString& text, const QString& separator)
{
    if (text.isEmpty())
        return {};
    return text.split(separator);
}

QString TakeFirstWord(QString& text)
{
    return CutAtMarker(text, QStringLiteral(" "), true);
}

FirstWordCut CutFirstWord(QStringView text)
{
    const qsizetype blank = text.indexOf(kPlainBlank);
    if (blank < 0)
        return { false, QStringView(), text };
    return { true, text.first(blank), text.sliced(blank + 1) };
}

// The text of a number cell without the double in between, for the usual
// cell: digits with at most one point, then the end or a character that
// cannot continue the number; at most 15 significant digits, the first of
// them at most four places after the point. Such a number is read and
// written back digit for digit (a double keeps 15 decimal digits), so its
// text is the plain decimal without leading zeros, trailing fraction zeros
// or a bare point. Empty for any other cell.
QString PlainNumberText(QStringView cell)
{
    const auto digitsEnd = [cell](qsizetype at) {
        while (at < cell.size() && cell[at] >= u'0' && cell[at] <= u'9')
            ++at;
        return at;
    };
    const qsizetype intEnd = digitsEnd(0);
    if (intEnd == 0)
        return QString();
    const bool point = intEnd < cell.size() && cell[intEnd] == u'.';
    const qsizetype fracStart = point ? intEnd + 1 : intEnd;
    qsizetype fracEnd = digitsEnd(fracStart);
    // Blanks, tabs and line feeds are skipped inside a number: what comes
    // after them must not continue it (a digit, a second point, an
    // exponent), or the cell takes the general way.
    qsizetype after = fracEnd;
    while (after < cell.size() && (cell[after] == u' ' || cell[after] == u'\t' || cell[after] == u'\n'))
        ++after;
    if (after < cell.size()) {
        const QChar next = cell[after];
        if ((next >= u'0' && next <= u'9') || next == u'.' || next == u'e' || next == u'E')
            return QString();
    }
    qsizetype intStart = 0;
    while (intStart < intEnd && cell[intStart] == u'0')
        ++intStart;
    while (fracEnd > fracStart && cell[fracEnd - 1] == u'0')
        --fracEnd;
    qsizetype significant = (intEnd - intStart) + (fracEnd - fracStart);
    if (intStart == intEnd) {
        qsizetype zeros = 0;
        while (fracStart + zeros < fracEnd && cell[fracStart + zeros] == u'0')
            ++zeros;
        if (fracStart + zeros == fracEnd)
            return QStringLiteral("0");
        if (zeros > 3)
            return QString(); // written with an exponent
        significant -= zeros;
    }
    if (significant > 15)
        return QString();
    // The digits kept are one stretch of the cell, the point included.
    const qsizetype end = fracEnd > fracStart ? fracEnd : intEnd;
    if (intStart < intEnd)
        return cell.sliced(intStart, end - intStart).toString();
    // Only zeros before the point: one zero in front of it, written over
    // the last of them.
    QString text = cell.sliced(intEnd - 1, end - intEnd + 1).toString();
    text[0] = u'0';
    return text;
}

QString CellNumber(QStringView text)
{
    const QStringView cell = TrimBlanks(text);
    QString plain = PlainNumberText(cell);
    return plain.isEmpty() ? NumberText(LeadingNumber(cell)) : plain;
}

#include "PieceText.h"

#include "core/text/TextHelpers.h"

QString TrimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text.at(first) == QLatin1Char(' '))
        ++first;
    while (end > first && text.at(end - 1) == QLatin1Char(' '))
        --end;
    if (first == 0 && end == text.size())
        return text;
    return text.mid(first, end - first);
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

QString CellNumber(const QString& text)
{
    return NumberText(LeadingNumber(TrimBlanks(text)));
}

#pragma once
// Small text steps shared by the list and detail parsers. They trim and cut
// at the plain blank only (Blanks.h): page texts keep tabs and other white
// space as data.

#include <QString>
#include <QStringList>
#include <QStringView>

// Removes leading and trailing spaces (U+0020) only.
QString TrimBlanks(const QString& text);
QStringView TrimBlanks(QStringView text);

// Splits text at every separator. An empty text gives no pieces at all, so
// a missing block leaves every column that needs a piece untouched.
QStringList SplitPieces(const QString& text, const QString& separator);

// The text before the first blank; text keeps what follows that blank.
// Without a blank the result is empty and text stays as it is.
QString TakeFirstWord(QString& text);

// The same cut on a view: the word before the first blank and the rest
// after it; without a blank an empty word and the whole text as the rest.
struct FirstWordCut {
    bool hasBlank;
    QStringView word;
    QStringView rest;
};
FirstWordCut CutFirstWord(QStringView text);

// NumberText(LeadingNumber(text with blanks trimmed)).
QString CellNumber(QStringView text);

#pragma once
// What a page's text calls a blank, defined once for every parser and check.
// A blank of any kind is white space as Unicode has it, which takes in the
// no-break space (U+00A0) and the ideographic space (U+3000) that shop pages
// write between words; the serializer may also write the no-break space as
// its entity. Where a parser trims or cuts, it does so at the plain space
// only (PieceText.h): tabs and line breaks inside a cell are data there.

#include <QChar>
#include <QStringView>

// The plain blank the parsers trim and cut at.
inline constexpr QChar kPlainBlank = u' ';
// The no-break space as the page's serializer writes it.
inline constexpr QStringView kNbspEntity = u"&nbsp;";

// The blanks a page writes that are not the plain blank (the entity aside).
inline bool IsPageBlank(QChar c)
{
    return c == QChar::Nbsp || c == QChar(0x3000);
}

// Blank of any kind: the plain blank, the page's blanks, tabs, line breaks
// and every other white space.
inline bool IsAnyBlank(QChar c)
{
    return c.isSpace() || IsPageBlank(c);
}

// White space in a page's markup as HTML has it (space, tab, line feed, form
// feed, carriage return): a run of it shows as one space.
inline bool IsMarkupBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f';
}

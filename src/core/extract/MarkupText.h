#pragma once
// A page's markup as the parsers look at it: the text a browser shows,
// told apart from tags, comments and the contents of scripts and styles,
// without moving a character, so a place found in the text is the same
// place in the markup.

#include <QList>
#include <QString>
#include <QStringView>

// Character references of a text taken from markup: the named ones pages
// use (&lt; &gt; &amp; &quot; &apos; &nbsp;) and numeric ones (&#19886;
// &#x4E2D;); any other "&" stays as it is.
QString DecodeEntities(QStringView text);

// Elements whose start or end breaks a line of the shown text.
bool IsBlockElement(QStringView lowerName);

// One tag of the markup, from its "<" to after its ">" (the rest of the
// page when it has none).
struct MarkupTag {
    qsizetype at = 0;
    qsizetype end = 0;
    QString name; // lower case; empty for a "<" that starts no tag
    bool closing = false;
};
MarkupTag ReadMarkupTag(QStringView page, qsizetype at);

// Stands in the mask for every character that is no shown text.
inline constexpr QChar kNotText = QChar(0xFDD0);

// The markup with every tag, comment and the contents of every script and
// style replaced by kNotText, character for character; tags lists the
// tags in page order (those inside scripts and styles are text to them).
struct MarkupMask {
    QString mask;
    QList<MarkupTag> tags;
};
MarkupMask MaskMarkup(QStringView page);

// The shown text of markup[from, to): entities decoded, a tag of a block
// element (or a run of them) one blank, other tags nothing. With
// elementEnd, a run of tags that ends a block element other than a line
// break gives that character instead, for a reader to tell where an
// element's text ended.
QString ShownText(
    QStringView page, const MarkupMask& mask, qsizetype from, qsizetype to, QChar elementEnd = u' ');

// Where the element whose start tag is tags[index] ends: the start of its
// matching end tag, counting nested elements of the same name; the page's
// end when it has none.
qsizetype ElementEnd(QStringView page, const MarkupMask& mask, qsizetype index);

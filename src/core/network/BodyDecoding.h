#pragma once
// Turns an HTTP body into text: by the charset the response declares (the
// Content-Type header first, then a <meta> tag near the top of the page),
// GB18030 (a superset of GBK) when nothing usable is declared. Line breaks
// come out as CR LF, the form the page parsers expect.

#include <QByteArray>
#include <QString>

// The charset label in a Content-Type value ("text/html; charset=UTF-8" →
// "utf-8"), lower case; empty when there is none.
QByteArray CharsetFromContentType(const QByteArray& contentType);

// The charset a <meta charset=…> or <meta http-equiv="Content-Type"
// content="…; charset=…"> tag declares within the first bytes of an HTML
// body, lower case; empty when there is none.
QByteArray CharsetFromMeta(const QByteArray& body);

// Decodes body (see above). A byte-order mark wins over any declaration.
QString DecodeHttpBody(const QByteArray& body, const QByteArray& contentType);

#pragma once
// Scripts that the browser runs in the shown page to read its document.
// Every HTML text comes from one serializer of our own rather than the
// engine's innerHTML, so that the parsers always see one form: tag names in
// upper case ("<TBODY", "</TD>"), attributes kept with their values quoted
// and escaped as innerHTML escapes them, text as it stands (with <, >, &
// and the no-break space escaped), void elements without end tags, and CR
// LF line breaks. Each script is one expression whose value is a string.

#include <QString>

namespace domscripts {

// Serialized inner HTML of the element with this id; "" when the document
// or the element is missing.
QString ElementInnerHtml(const QString& id);

// Serialized inner HTML of the body; "" without a body.
QString BodyHtml();

// One walk over document.all in document order. The first element whose
// upper-case tag name equals tagName in upper case and whose serialized
// inner HTML equals linkText ends the walk: "" when its serialized outer
// HTML contains "disabled", otherwise its href ("" when it has none),
// after calling its click() when click is true. "" when nothing matches.
// A script that runs after clickDeadlineMs (milliseconds since the epoch;
// 0 for none) clicks nothing and gives "": its caller has stopped waiting.
QString FindLink(const QString& linkText, bool click, const QString& tagName, qint64 clickDeadlineMs = 0);

// window.scrollBy(x, y).
QString ScrollBy(int x, int y);

} // namespace domscripts

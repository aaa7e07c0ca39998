#pragma once
#include <QString>

class BrowserPage;

// The HTML text of the shown page's body, or an empty text.
QString GetBodyHtml(BrowserPage& browser);

// Target address of the first element with tagName whose inner HTML is
// exactly linkText, clicked when click is true; empty when the link text is
// empty, nothing matches or the match is disabled.
QString FindLinkAndClick(BrowserPage& browser, const QString& linkText, bool click, const QString& tagName);

#pragma once
// The page the embedded browser shows, as the parsers and commands read it.
// The browser implements it with scripts run in the page; tests feed it
// from strings. HTML texts come in one serialized form: upper-case tag
// names, attributes kept, CR LF line breaks, void elements without end tags.

#include <QString>
#include <QUrl>

class BrowserPage {
public:
    virtual ~BrowserPage() = default;
    // Inner HTML of the element with this id; empty without document or element.
    virtual QString ElementInnerHtml(const QString& id) = 0;
    // HTML text of the whole body; empty without document or body.
    virtual QString BodyHtml() = 0;
    // One walk over every element in document order: the first element whose
    // tag name (upper case) equals tagName in upper case and whose inner HTML
    // equals linkText exactly ends the walk. "disabled" in its outer HTML
    // gives an empty text; otherwise its href, after clicking it when click
    // is true. Empty when nothing matches.
    virtual QString FindLinkInPage(const QString& linkText, bool click, const QString& tagName) = 0;
    // Scrolls the shown page by x pixels right and y pixels down.
    virtual void ScrollBy(int x, int y) = 0;
    // The address of the page shown; empty where nothing tells it.
    virtual QUrl PageUrl() { return QUrl(); }
};

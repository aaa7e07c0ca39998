#include "PageAccess.h"

#include "BrowserPage.h"

QString GetBodyHtml(BrowserPage& browser)
{
    return browser.BodyHtml();
}

QString FindLinkAndClick(BrowserPage& browser, const QString& linkText, bool click, const QString& tagName)
{
    if (linkText.isEmpty())
        return QString();
    return browser.FindLinkInPage(linkText, click, tagName);
}

#include "SharedCookieJar.h"

#include <QNetworkCookie>

void SharedCookieJar::AddCookie(const QNetworkCookie& cookie)
{
    if (cookie.domain().isEmpty() || cookie.name().isEmpty())
        return;
    insertCookie(cookie);
}

void SharedCookieJar::RemoveCookie(const QNetworkCookie& cookie)
{
    deleteCookie(cookie);
}

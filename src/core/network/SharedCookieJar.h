#pragma once
// The cookie jar of the page fetches. The browser mirrors its own cookie
// store into it, so a page fetched here comes back as the logged-in seller
// sees it in the browser. QNetworkCookieJar hands a cookie only to the hosts
// its domain covers (a host-only cookie to exactly its host), only to paths
// under its path, secure cookies only over https, and drops expired ones.

#include <QNetworkCookieJar>

class SharedCookieJar : public QNetworkCookieJar {
    Q_OBJECT
public:
    using QNetworkCookieJar::QNetworkCookieJar;

public slots:
    // Adds or replaces (same name, domain and path) a cookie as the browser
    // stored it. A cookie without a domain cannot be matched to a host and
    // is ignored.
    void AddCookie(const QNetworkCookie& cookie);
    // Removes the cookie with the same name, domain and path.
    void RemoveCookie(const QNetworkCookie& cookie);
};

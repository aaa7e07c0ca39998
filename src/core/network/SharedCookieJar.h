#pragma once
// The cookie jar of the page fetches. The browser mirrors its own cookie
// store into it, so a page fetched here comes back as the logged-in seller
// sees it in the browser. QNetworkCookieJar hands a cookie only to the hosts
// its domain covers (a host-only cookie to exactly its host), only to paths
// under its path, secure cookies only over https, and drops expired ones.
//
// The browser reports only the cookies that change while the program runs,
// not the ones it reloads from its profile at start, so the jar keeps its
// own copy beside the profile: a login made in an earlier run (the window's,
// for a later unattended export) still reaches the page fetches.

#include "core/base/Done.h"

#include <QNetworkCookieJar>
#include <QTimer>

class SharedCookieJar : public QNetworkCookieJar {
    Q_OBJECT
public:
    explicit SharedCookieJar(QObject* parent = nullptr);

    // From now on the jar lives in path too: the cookies kept there are added
    // now (expired ones left out), and every later change is written back
    // once the current event has been handled. The reason when an existing
    // file cannot be read.
    Done KeepInFile(const QString& path);
    // Writes a change still waiting to be written; done when nothing waits
    // any more.
    Done SaveNow();

public slots:
    // Adds or replaces (same name, domain and path) a cookie as the browser
    // stored it. A cookie without a domain cannot be matched to a host and
    // is ignored.
    void AddCookie(const QNetworkCookie& cookie);
    // Removes the cookie with the same name, domain and path.
    void RemoveCookie(const QNetworkCookie& cookie);

private:
    void Changed();

    QString file_;
    QTimer saveSoon_;
    bool unsaved_ = false;
};

#pragma once
// The persistent browser profile of a run: cookies and storage live under
// the per-user data location, so a login survives restarts. Its cookies are
// mirrored into the run's page fetches and its User-Agent is theirs too.
// The run builds one before its first browser and drops it after the last.
// The browser speaks Chinese like the rest of the tool: its pages get
// Accept-Language zh-CN, and the engine's own locale is zh-CN.

#include <QByteArray>
#include <QString>

class PageFetcher;
class QWebEngineProfile;
class SharedCookieJar;

class BrowserProfile {
public:
    explicit BrowserProfile(PageFetcher& fetcher);
    ~BrowserProfile();
    BrowserProfile(const BrowserProfile&) = delete;
    BrowserProfile& operator=(const BrowserProfile&) = delete;

    QWebEngineProfile* Profile() const { return profile_; }
    // The page fetches' jar, written to disk when a browser goes.
    SharedCookieJar& CookieJar() const { return jar_; }

private:
    QWebEngineProfile* profile_ = nullptr;
    SharedCookieJar& jar_;
};

// Chromium's flags with its locale set to zh-CN ("--lang=zh-CN" appended),
// every flag given kept; a locale given there already stays.
QByteArray ChromiumFlagsWithChineseLocale(const QByteArray& flags);
// Applies that to QTWEBENGINE_CHROMIUM_FLAGS. The engine reads them once,
// so this runs before the application object is made.
void UseChineseBrowserLocale();

#pragma once
// Downloads one page without the browser: appends the time parameter,
// waits on the event loop (the window stays live), tests the body for a
// marker, and tries up to five times. PageFetchJob does the work; these
// wait for it.

#include <QString>
#include <QTime>

class QNetworkAccessManager;
class QNetworkRequest;
class SharedCookieJar;

inline const char* const kNetworkError = "网络错误！";

// A body larger than this ends its attempt unfinished (the response keeps
// its earlier value), so a runaway server cannot exhaust memory. Detail and
// download pages are a few hundred kilobytes.
inline constexpr qint64 kMaxBodyBytes = 32 * 1024 * 1024;

// Redirects followed per request; a longer chain (a loop) fails the attempt.
inline constexpr int kMaxRedirects = 10;

// Up to five attempts, spaced out after connection failures; the result of
// the last one: "" or "网络错误！". Returns "网络错误！" at once when the
// application is quitting.
QString HttpGetPage(const QString& address, QString& response, const QString& marker, int timeoutSeconds,
    const QString& savePath);
// One attempt. response is written only when the attempt completed.
QString HttpGetPageOnce(const QString& address, QString& response, const QString& marker, int timeoutSeconds,
    const QString& savePath);

// address + ("&" or "?") + "Time=HH:MM:SS".
QString AppendTimeParameter(const QString& address, const QTime& now);

// The network manager the fetches use; the GUI mirrors the browser
// profile's cookies into its jar and sets the browser's User-Agent.
QNetworkAccessManager& HttpNetworkManager();
// The manager's cookie jar, into which the browser mirrors its cookies.
SharedCookieJar& HttpCookieJar();
void SetHttpUserAgent(const QByteArray& userAgent);
// The GET request of a page fetch: the "CONTENT-TYPE: text/xml" header, the
// browser's User-Agent, redirects followed but never from https to http.
QNetworkRequest PageRequest(const QString& url);

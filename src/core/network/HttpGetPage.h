#pragma once
// Downloads one page without the browser: appends the time parameter,
// waits on the event loop (the window stays live), tests the body for a
// marker, and tries up to five times. PageFetchJob does the work; these
// wait for it.

#include <QString>
#include <QTime>

class PageFetcher;

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
QString HttpGetPage(
    PageFetcher& fetcher, const QString& address, QString& response, const QString& marker, int timeoutSeconds);
// One attempt. response is written only when the attempt completed.
QString HttpGetPageOnce(
    PageFetcher& fetcher, const QString& address, QString& response, const QString& marker, int timeoutSeconds);

// address + ("&" or "?") + "Time=HH:MM:SS".
QString AppendTimeParameter(const QString& address, const QTime& now);

#pragma once
// The page fetch that logic code calls: HttpGetPage, unless a unit test has
// installed a stand-in in its place.

#include <QString>
#include <functional>

class PageFetchJob;

// Seam for callers' unit tests: replaces HttpGetPage for FetchPage.
using PageFetcher = std::function<QString(const QString& address, QString& response, const QString& marker,
    int timeoutSeconds, const QString& savePath)>;
void SetPageFetcher(PageFetcher fetcher); // an empty function restores HttpGetPage
QString FetchPage(const QString& address, QString& response, const QString& marker, int timeoutSeconds,
    const QString& savePath);
// The same as a job that runs alongside others: a started network fetch,
// or with a stand-in installed, a job already over with its answer. The
// caller owns the job.
PageFetchJob* StartPageFetch(const QString& address, const QString& marker, int timeoutSeconds);

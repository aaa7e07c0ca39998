#include "HttpGetPage.h"

namespace {
PageFetcher& InstalledFetcher()
{
    static PageFetcher fetcher;
    return fetcher;
}
} // namespace

void SetPageFetcher(PageFetcher fetcher)
{
    InstalledFetcher() = std::move(fetcher);
}

QString FetchPage(const QString& address, QString& response, const QString& marker, int timeoutSeconds,
    const QString& savePath)
{
    if (InstalledFetcher())
        return InstalledFetcher()(address, response, marker, timeoutSeconds, savePath);
    return HttpGetPage(address, response, marker, timeoutSeconds, savePath);
}

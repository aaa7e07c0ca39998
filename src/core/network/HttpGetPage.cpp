#include "HttpGetPage.h"

#include "PageFetcher.h"

FetchResult HttpGetPageOnce(
    PageFetcher& fetcher, const QString& address, const QString& marker, int timeoutSeconds)
{
    PageFetchJob job(fetcher.Line(), address, marker, timeoutSeconds, FetchRules { .attempts = 1 });
    return job.RunToEnd();
}

FetchResult HttpGetPage(
    PageFetcher& fetcher, const QString& address, const QString& marker, int timeoutSeconds)
{
    PageFetchJob job(fetcher.Line(), address, marker, timeoutSeconds);
    return job.RunToEnd();
}

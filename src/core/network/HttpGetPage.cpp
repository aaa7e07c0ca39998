#include "HttpGetPage.h"

FetchResult HttpGetPageOnce(
    PageFetcher& fetcher, const QString& address, const QString& marker, int timeoutSeconds)
{
    PageFetchJob job(&fetcher, address, marker, timeoutSeconds, FetchRules { .attempts = 1 });
    return job.RunToEnd();
}

FetchResult HttpGetPage(
    PageFetcher& fetcher, const QString& address, const QString& marker, int timeoutSeconds)
{
    PageFetchJob job(&fetcher, address, marker, timeoutSeconds);
    return job.RunToEnd();
}

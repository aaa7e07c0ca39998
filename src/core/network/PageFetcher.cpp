#include "PageFetcher.h"

#include "HttpGetPage.h"
#include "PageFetchJob.h"

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

PageFetchJob* StartPageFetch(const QString& address, const QString& marker, int timeoutSeconds)
{
    if (InstalledFetcher()) {
        QString response;
        const QString result = InstalledFetcher()(address, response, marker, timeoutSeconds, QString());
        return PageFetchJob::Answered(result, response);
    }
    auto* job = new PageFetchJob(address, marker, timeoutSeconds, QString());
    job->Start();
    return job;
}

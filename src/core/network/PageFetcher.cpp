#include "PageFetcher.h"

#include "PageFetchJob.h"
#include "SharedCookieJar.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>

PageFetcher::PageFetcher()
    : network_(std::make_unique<QNetworkAccessManager>())
{
    network_->setCookieJar(new SharedCookieJar());
}

PageFetcher::~PageFetcher() = default;

QNetworkAccessManager& PageFetcher::Network()
{
    return *network_;
}

SharedCookieJar& PageFetcher::CookieJar()
{
    return *static_cast<SharedCookieJar*>(network_->cookieJar());
}

QNetworkRequest PageFetcher::PageRequest(const QString& url) const
{
    QNetworkRequest request { QUrl(url) };
    request.setRawHeader("CONTENT-TYPE", "text/xml");
    if (!userAgent_.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, userAgent_);
    // Follow redirects, but never from https to http: the session cookie
    // must not travel in clear.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    return request;
}

FetchLine PageFetcher::Line()
{
    return FetchLine { .network = network_.get(),
        .request = [this](const QString& url) { return PageRequest(url); },
        .firstRetryPauseMs = firstRetryPauseMs_ };
}

FetchResult PageFetcher::FetchPage(const QString& address, const QString& marker, int timeoutSeconds)
{
    if (standIn_)
        return standIn_(address, marker, timeoutSeconds);
    PageFetchJob job(Line(), address, marker, timeoutSeconds);
    return job.RunToEnd();
}

PageFetchJob* PageFetcher::StartPageFetch(
    const QString& address, const QString& marker, int timeoutSeconds, const FetchRules& rules)
{
    if (standIn_)
        return PageFetchJob::Answered(standIn_(address, marker, timeoutSeconds));
    auto* job = new PageFetchJob(Line(), address, marker, timeoutSeconds, rules);
    job->Start();
    return job;
}

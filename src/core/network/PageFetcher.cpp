#include "PageFetcher.h"

#include "HttpGetPage.h"
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

QString PageFetcher::FetchPage(const QString& address, QString& response, const QString& marker, int timeoutSeconds)
{
    if (standIn_)
        return standIn_(address, response, marker, timeoutSeconds);
    return HttpGetPage(*this, address, response, marker, timeoutSeconds);
}

PageFetchJob* PageFetcher::StartPageFetch(
    const QString& address, const QString& marker, int timeoutSeconds, const FetchRules& rules)
{
    if (standIn_) {
        QString response;
        const QString result = standIn_(address, response, marker, timeoutSeconds);
        return PageFetchJob::Answered(FetchStatusFromText(result), response);
    }
    auto* job = new PageFetchJob(this, address, marker, timeoutSeconds, rules);
    job->Start();
    return job;
}

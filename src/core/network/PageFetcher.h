#pragma once
// The run's page fetches without the browser: the network manager with the
// cookie jar the browser mirrors its cookies into, the browser's
// User-Agent, and the pause before a retry after a connection failure.
// Unit tests put a stand-in in place of the network; everything that
// fetches a page goes through here.

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class PageFetchJob;
struct FetchLine;
struct FetchResult;
struct FetchRules;
class QNetworkAccessManager;
class QNetworkRequest;
class SharedCookieJar;

class PageFetcher {
public:
    PageFetcher();
    ~PageFetcher();
    PageFetcher(const PageFetcher&) = delete;
    PageFetcher& operator=(const PageFetcher&) = delete;

    QNetworkAccessManager& Network();
    // The manager's cookie jar, into which the browser mirrors its cookies.
    SharedCookieJar& CookieJar();

    void SetUserAgent(const QByteArray& userAgent) { userAgent_ = userAgent; }
    // The first pause before a retry after a connection failure; later
    // pauses double. Tests shorten it; 0 gives none.
    void SetFirstRetryPauseMs(int pauseMs) { firstRetryPauseMs_ = pauseMs; }
    int FirstRetryPauseMs() const { return firstRetryPauseMs_; }

    // The GET request of a page fetch: the "CONTENT-TYPE: text/xml" header,
    // the browser's User-Agent, redirects followed but never from https to
    // http.
    QNetworkRequest PageRequest(const QString& url) const;

    // What a page fetch job sends its attempts through: this fetcher's
    // network, request and retry pause.
    FetchLine Line();

    // A unit test's replacement for the network: it answers every fetch.
    using StandIn
        = std::function<FetchResult(const QString& address, const QString& marker, int timeoutSeconds)>;
    void UseStandIn(StandIn standIn) { standIn_ = std::move(standIn); }

    // A page fetch with five attempts run to its end (HttpGetPage), or the
    // stand-in's answer.
    FetchResult FetchPage(const QString& address, const QString& marker, int timeoutSeconds);
    // The same as a job that runs alongside others: a started network
    // fetch, or with a stand-in, a job already over with its answer. The
    // caller owns the job.
    PageFetchJob* StartPageFetch(
        const QString& address, const QString& marker, int timeoutSeconds, const FetchRules& rules);

private:
    std::unique_ptr<QNetworkAccessManager> network_;
    QByteArray userAgent_;
    int firstRetryPauseMs_ = 1000;
    StandIn standIn_;
};

#include "HttpGetPage.h"

#include "PageFetchJob.h"
#include "SharedCookieJar.h"
#include "core/base/Logging.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkRequest>

namespace {

QByteArray& UserAgent()
{
    static QByteArray userAgent;
    return userAgent;
}

// Runs job to its end in a nested event loop: the window stays live and no
// CPU is spent polling. When the application is quitting, nested loops
// return at once; the job is then stopped rather than waited for in a spin.
QString RunToEnd(PageFetchJob& job, QString& response)
{
    QEventLoop loop;
    QObject::connect(&job, &PageFetchJob::Finished, &loop, &QEventLoop::quit);
    job.Start();
    if (!job.IsFinished())
        loop.exec();
    if (!job.IsFinished()) {
        job.Cancel();
        qCWarning(lcWeb) << "page fetch stopped: the application is quitting";
        return QString::fromUtf8(kNetworkError);
    }
    if (job.ResponseWritten())
        response = job.Response();
    return job.Result();
}

} // namespace

QNetworkAccessManager& HttpNetworkManager()
{
    // Lives until the process ends: replies may still be winding down when
    // static destructors would run.
    static QNetworkAccessManager* manager = [] {
        auto* created = new QNetworkAccessManager();
        created->setCookieJar(new SharedCookieJar());
        return created;
    }();
    return *manager;
}

SharedCookieJar& HttpCookieJar()
{
    return *static_cast<SharedCookieJar*>(HttpNetworkManager().cookieJar());
}

void SetHttpUserAgent(const QByteArray& userAgent)
{
    UserAgent() = userAgent;
}

QNetworkRequest PageRequest(const QString& url)
{
    QNetworkRequest request { QUrl(url) };
    request.setRawHeader("CONTENT-TYPE", "text/xml");
    if (!UserAgent().isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent());
    // Follow redirects, but never from https to http: the session cookie
    // must not travel in clear.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    return request;
}

QString AppendTimeParameter(const QString& address, const QTime& now)
{
    const QString joiner = address.contains(QLatin1Char('?')) ? QStringLiteral("&") : QStringLiteral("?");
    return address + joiner + QStringLiteral("Time=") + now.toString(QStringLiteral("HH:mm:ss"));
}

QString HttpGetPageOnce(const QString& address, QString& response, const QString& marker, int timeoutSeconds,
    const QString& savePath)
{
    PageFetchJob job(address, marker, timeoutSeconds, savePath, 1);
    return RunToEnd(job, response);
}

QString HttpGetPage(const QString& address, QString& response, const QString& marker, int timeoutSeconds,
    const QString& savePath)
{
    PageFetchJob job(address, marker, timeoutSeconds, savePath, kPageAttempts);
    return RunToEnd(job, response);
}

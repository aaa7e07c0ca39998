#include "HttpGetPage.h"

#include "BodyDecoding.h"
#include "SharedCookieJar.h"
#include "core/base/Logging.h"
#include "core/text/TextHelpers.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSaveFile>
#include <QTimer>

namespace {

QByteArray& UserAgent()
{
    static QByteArray userAgent;
    return userAgent;
}

// Longest single sleep of the wait; the loop re-arms until the deadline.
constexpr int kLongestSleepMs = 60 * 1000;

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

// A reply counts as a completed response when the server's answer arrived:
// a status line was read and the transfer was not stopped by the redirect
// rules or by us. Error statuses (404, 500 …) and a connection closed in
// the middle of the body still deliver the page as far as it came.
bool IsCompletedResponse(const QNetworkReply& reply)
{
    if (!reply.isFinished() || !reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
        return false;
    switch (reply.error()) {
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TooManyRedirectsError:
    case QNetworkReply::InsecureRedirectError:
    case QNetworkReply::TimeoutError:
        return false;
    default:
        return true;
    }
}

void SaveBody(const QString& savePath, const QByteArray& body)
{
    // Written aside and swapped in, so a failed write leaves the old file.
    QSaveFile file(savePath);
    if (file.open(QIODevice::WriteOnly) && file.write(body) == body.size())
        file.commit();
}

// Marker found: the page ends before its last "<BR>", and "<+>" stands
// for a line break.
void TrimSuccessfulResponse(QString& response)
{
    CutAtMarker(response, QStringLiteral("<BR>"), false);
    response.replace(QLatin1String("<+>"), QLatin1String("\r\n"));
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

QString AppendTimeParameter(const QString& address, const QTime& now)
{
    const QString joiner = address.contains(QLatin1Char('?')) ? QStringLiteral("&") : QStringLiteral("?");
    return address + joiner + QStringLiteral("Time=") + now.toString(QStringLiteral("HH:mm:ss"));
}

QString HttpGetPageOnce(const QString& address, QString& response, const QString& marker, int timeoutSeconds,
    const QString& savePath)
{
    const QString url = AppendTimeParameter(address, QTime::currentTime());
    QString result = QString::fromUtf8(kNetworkError);
    const QDeadlineTimer deadline(qMax<qint64>(0, qint64(timeoutSeconds) * 1000));

    QPointer<QNetworkReply> reply = HttpNetworkManager().get(PageRequest(url));
    // Reading pauses once a little more than the cap is buffered, so the
    // check below sees the excess before much more memory is taken.
    reply->setReadBufferSize(kMaxBodyBytes + 1);
    QEventLoop loop;
    bool oversized = false;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&](qint64 received, qint64 total) {
        if (received > kMaxBodyBytes || total > kMaxBodyBytes) {
            oversized = true;
            loop.quit();
        }
    });
    QTimer wake;
    wake.setSingleShot(true);
    QObject::connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);

    // Sleep in the event loop until the reply finishes or the deadline
    // passes: the window stays live and no CPU is spent polling.
    while (reply && !reply->isFinished() && !oversized && !deadline.hasExpired()) {
        wake.start(int(qMin<qint64>(deadline.remainingTime(), kLongestSleepMs)));
        loop.exec();
    }

    if (reply && !oversized && IsCompletedResponse(*reply)) {
        const QByteArray body = reply->readAll();
        response = DecodeHttpBody(body, reply->header(QNetworkRequest::ContentTypeHeader).toByteArray());
        if (!savePath.isEmpty())
            SaveBody(savePath, body);
        if (marker.isEmpty() || response.contains(marker)) {
            result.clear();
            TrimSuccessfulResponse(response);
        }
    }
    if (reply) {
        QObject::disconnect(reply, nullptr, &loop, nullptr);
        reply->abort();
        reply->deleteLater();
    }
    return result;
}

QString HttpGetPage(const QString& address, QString& response, const QString& marker, int timeoutSeconds,
    const QString& savePath)
{
    QString result;
    for (int attempt = 1; attempt <= 5; ++attempt) {
        result = HttpGetPageOnce(address, response, marker, timeoutSeconds, savePath);
        if (result.isEmpty())
            return result;
    }
    qCWarning(lcWeb) << "gave up fetching" << address << "after 5 attempts";
    return result;
}

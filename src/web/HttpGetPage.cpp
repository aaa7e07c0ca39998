#include "HttpGetPage.h"

#include "common/AnsiCodec.h"
#include "common/TextHelpers.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

namespace {
QByteArray& UserAgent()
{
    static QByteArray userAgent;
    return userAgent;
}
} // namespace

QNetworkAccessManager& HttpNetworkManager()
{
    static QNetworkAccessManager* manager = new QNetworkAccessManager();
    return *manager;
}

void SetHttpUserAgent(const QByteArray& userAgent) { UserAgent() = userAgent; }

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

    QNetworkRequest request{QUrl(url)};
    request.setRawHeader("CONTENT-TYPE", "text/xml");
    if (!UserAgent().isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);

    // The deadline is read to the second, as the clock the time-out counts in.
    const qint64 deadlineSecond = QDateTime::currentSecsSinceEpoch() + timeoutSeconds;
    QPointer<QNetworkReply> reply = HttpNetworkManager().get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    while (reply && !reply->isFinished()) {
        const qint64 remainingMs = (deadlineSecond + 1) * 1000 - QDateTime::currentMSecsSinceEpoch();
        if (remainingMs <= 0)
            break;
        deadline.start(int(qMin<qint64>(remainingMs, 1000)));
        loop.exec();
    }
    if (reply && reply->isFinished()) {
        const QByteArray body = reply->readAll();
        if (reply->error() == QNetworkReply::NoError || !body.isEmpty()) {
            response = NormalizeLineBreaks(DecodeAnsi(body));
            if (!savePath.isEmpty()) {
                QFile file(savePath);
                if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                    file.write(body);
            }
            if (marker.isEmpty() || response.contains(marker)) {
                result.clear();
                if (response.contains(QLatin1String("<BR>")))
                    CutAtMarker(response, QStringLiteral("<BR>"), false);
                response.replace(QLatin1String("<+>"), QLatin1String("\r\n"));
            }
        }
    }
    if (reply) {
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
            break;
    }
    return result;
}

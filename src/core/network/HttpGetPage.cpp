#include "HttpGetPage.h"

#include "PageFetchJob.h"
#include "core/base/Logging.h"

#include <QEventLoop>

namespace {

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
    return FetchStatusText(job.Status());
}

} // namespace

QString AppendTimeParameter(const QString& address, const QTime& now)
{
    const QString joiner = address.contains(QLatin1Char('?')) ? QStringLiteral("&") : QStringLiteral("?");
    return address + joiner + QStringLiteral("Time=") + now.toString(QStringLiteral("HH:mm:ss"));
}

QString HttpGetPageOnce(
    PageFetcher& fetcher, const QString& address, QString& response, const QString& marker, int timeoutSeconds)
{
    PageFetchJob job(&fetcher, address, marker, timeoutSeconds, FetchRules { .attempts = 1 });
    return RunToEnd(job, response);
}

QString HttpGetPage(
    PageFetcher& fetcher, const QString& address, QString& response, const QString& marker, int timeoutSeconds)
{
    PageFetchJob job(&fetcher, address, marker, timeoutSeconds);
    return RunToEnd(job, response);
}

#include "PageFetchJob.h"

#include "BodyDecoding.h"
#include "HostReachability.h"
#include "LoginForm.h"
#include "core/base/Endpoints.h"
#include "core/base/Logging.h"
#include "core/text/TextHelpers.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace {

// Longest single sleep of an attempt; the wake timer re-arms until the
// deadline, so a long time-out never overflows a timer interval.
constexpr qint64 kLongestSleepMs = 60 * 1000;

// How long a reply given up may end by itself before it is aborted.
constexpr int kAbortGraceMs = 500;

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

// No answer at all because the connection could not be made or was cut
// before a status line: the network or the server is away for a moment.
bool IsConnectionFailure(const QNetworkReply& reply)
{
    if (reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
        return false;
    switch (reply.error()) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
        return true;
    default:
        return false;
    }
}

// A 5xx status: the server is there but cannot serve the page for the
// moment (overloaded, restarting, a gateway without its backend). Its page
// is no answer to the request, so it counts as a failure without one.
bool IsServerError(const QNetworkReply& reply)
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 500 && status <= 599;
}

// A connection cut after the status line: the page came only in part.
bool IsCutOff(const QNetworkReply& reply)
{
    return reply.error() == QNetworkReply::RemoteHostClosedError
        || reply.error() == QNetworkReply::TemporaryNetworkFailureError
        || reply.error() == QNetworkReply::UnknownNetworkError;
}

// The marketplace sends a request without a live session to its login
// page, by a redirect or with the login form in place of the page.
bool IsLoginAnswer(const QNetworkReply& reply, const QString& body)
{
    return IsLoginAddress(reply.url()) || ShowsLoginForm(body);
}

// Marker found: the page ends before its last "<BR>", and "<+>" stands
// for a line break.
void TrimSuccessfulResponse(QString& response)
{
    CutAtMarker(response, QStringLiteral("<BR>"), false);
    response.replace(QLatin1String("<+>"), QLatin1String("\r\n"));
}

} // namespace

QString AppendTimeParameter(const QString& address, const QTime& now)
{
    const QString joiner = address.contains(QLatin1Char('?')) ? QStringLiteral("&") : QStringLiteral("?");
    return address + joiner + QStringLiteral("Time=") + now.toString(QStringLiteral("HH:mm:ss"));
}

int ConnectionRetryPauseMs(int firstPauseMs, int failedAttempt)
{
    const int doublings = qBound(0, failedAttempt - 1, 16);
    return int(qMin<qint64>(qint64(qMax(0, firstPauseMs)) << doublings, 3600 * 1000));
}

PageFetchJob::PageFetchJob(FetchLine line, QString address, QString marker, int timeoutSeconds,
    const FetchRules& rules, QObject* parent)
    : QObject(parent)
    , line_(std::move(line))
    , address_(std::move(address))
    , marker_(std::move(marker))
    , timeoutSeconds_(timeoutSeconds)
    , rules_(rules)
    , attempts_(qMax(1, rules.attempts))
{
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
    connect(&wake_, &QTimer::timeout, this, &PageFetchJob::OnWake);
    pause_.setSingleShot(true);
    connect(&pause_, &QTimer::timeout, this, &PageFetchJob::StartAttempt);
    connect(&watch_, &QTimer::timeout, this, &PageFetchJob::OnWatch);
    // Queued: the verdict comes from inside another job's reply signal.
    if (rules_.host)
        connect(rules_.host, &HostReachability::BecameUnreachable, this, &PageFetchJob::OnHostUnreachable,
            Qt::QueuedConnection);
}

PageFetchJob* PageFetchJob::Answered(const FetchResult& result, QObject* parent)
{
    auto* job = new PageFetchJob(FetchLine {}, QString(), QString(), 0, FetchRules { .attempts = 1 }, parent);
    job->status_ = result.status;
    job->response_ = result.body.value_or(QString());
    job->responseWritten_ = result.body.has_value();
    job->finished_ = true;
    return job;
}

FetchResult PageFetchJob::Result() const
{
    FetchResult result { .status = status_, .body = std::nullopt };
    if (responseWritten_)
        result.body = response_;
    return result;
}

FetchResult PageFetchJob::RunToEnd()
{
    QEventLoop loop;
    connect(this, &PageFetchJob::Finished, &loop, &QEventLoop::quit);
    Start();
    if (!finished_)
        loop.exec();
    if (!finished_) {
        Cancel();
        qCWarning(lcWeb) << "page fetch stopped: the application is quitting";
        return FetchResult {};
    }
    return Result();
}

PageFetchJob::~PageFetchJob()
{
    DropReply();
}

void PageFetchJob::Start()
{
    if (finished_ || attempt_ > 0)
        return;
    StartAttempt();
}

void PageFetchJob::Cancel()
{
    pause_.stop();
    wake_.stop();
    watch_.stop();
    DropReply();
    attempt_ = attempts_;
}

void PageFetchJob::StartAttempt()
{
    ++attempt_;
    const QString url = AppendTimeParameter(address_, QTime::currentTime());
    deadline_ = QDeadlineTimer(qMax<qint64>(0, qint64(timeoutSeconds_) * 1000));
    reply_ = line_.network->get(line_.request(url));
    // Reading pauses once a little more than the cap is buffered, so the
    // check below sees the excess before much more memory is taken.
    reply_->setReadBufferSize(kMaxBodyBytes + 1);
    attemptClock_.start();
    answered_ = false;
    received_ = receivedAtCheck_ = 0;
    watch_.start(qMax(1, rules_.firstByteMs));
    connect(reply_, &QNetworkReply::finished, this, &PageFetchJob::OnReplyFinished);
    // Qt also reports meta data for a connection cut before any answer:
    // only a status line counts as one.
    connect(reply_, &QNetworkReply::metaDataChanged, this, [this] {
        if (reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
            OnBytes(received_);
    });
    connect(reply_, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        if (received > 0)
            OnBytes(received);
        if (received <= kMaxBodyBytes && total <= kMaxBodyBytes)
            return;
        // Ended from the event loop, not inside the reply's own signal.
        disconnect(reply_, nullptr, this, nullptr);
        wake_.stop();
        watch_.stop();
        QMetaObject::invokeMethod(
            this,
            [this, attempt = attempt_] {
                if (reply_ && attempt_ == attempt)
                    EndAttempt(AttemptEnd::Failed);
            },
            Qt::QueuedConnection);
    });
    OnWake();
}

// Sleeps in slices until the deadline; the attempt ends unfinished there.
void PageFetchJob::OnWake()
{
    if (!reply_)
        return;
    if (deadline_.hasExpired()) {
        EndAttempt(AttemptEnd::TimedOut);
        return;
    }
    wake_.start(int(qMin<qint64>(deadline_.remainingTime(), kLongestSleepMs)));
}

// The first byte of the answer turns the first-byte limit into stall
// checks, one every stall limit.
void PageFetchJob::OnBytes(qint64 received)
{
    received_ = qMax(received_, received);
    if (answered_)
        return;
    answered_ = true;
    // A server error is a sign of a server, not an answer: while the host
    // answers nothing else, its silence goes on.
    if (rules_.host && !(reply_ && IsServerError(*reply_)))
        rules_.host->NoteAnswer();
    receivedAtCheck_ = received_;
    watch_.start(qMax(1, rules_.stallMs));
}

void PageFetchJob::OnWatch()
{
    if (!reply_)
        return;
    if (!answered_) {
        qCWarning(lcWeb) << "no answer from" << address_ << "within" << rules_.firstByteMs << "ms";
        if (rules_.host)
            rules_.host->NoteConnectionFailure(attemptClock_.elapsed());
        EndAttempt(AttemptEnd::ConnectionFailed);
        return;
    }
    if (received_ - receivedAtCheck_ < kStallBytes) {
        qCWarning(lcWeb) << "download of" << address_ << "stalled:" << received_ - receivedAtCheck_ << "bytes in"
                         << rules_.stallMs << "ms";
        EndAttempt(AttemptEnd::TimedOut);
        return;
    }
    receivedAtCheck_ = received_;
}

void PageFetchJob::OnReplyFinished()
{
    if (!reply_)
        return;
    if (!IsCompletedResponse(*reply_)) {
        const bool connectionFailed = IsConnectionFailure(*reply_);
        if (connectionFailed && rules_.host)
            rules_.host->NoteConnectionFailure(answered_ ? 0 : attemptClock_.elapsed());
        EndAttempt(connectionFailed ? AttemptEnd::ConnectionFailed : AttemptEnd::Failed);
        return;
    }
    // Waited out like a refused connection: spaced-out attempts, and the
    // host's silence counted, so that a long spell waits for the network.
    if (IsServerError(*reply_)) {
        qCWarning(lcWeb) << "server error"
                         << reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() << "from"
                         << address_;
        if (rules_.host)
            rules_.host->NoteConnectionFailure(attemptClock_.elapsed());
        EndAttempt(AttemptEnd::ConnectionFailed);
        return;
    }
    if (rules_.host)
        rules_.host->NoteAnswer();
    const QByteArray body = reply_->readAll();
    response_ = DecodeHttpBody(body, reply_->header(QNetworkRequest::ContentTypeHeader).toByteArray());
    responseWritten_ = true;
    // Before the end marker: a login page may carry the site's footer.
    if (IsLoginAnswer(*reply_, response_)) {
        qCWarning(lcWeb) << "the login page answered" << address_ << "- the session has ended";
        EndAttempt(AttemptEnd::LoginPage);
        return;
    }
    if (marker_.isEmpty() || response_.contains(marker_)) {
        if (!rules_.wholePage)
            TrimSuccessfulResponse(response_);
        EndAttempt(AttemptEnd::Success);
        return;
    }
    // A page cut off by the connection is fetched again after a pause, as
    // a connection that failed at once is.
    EndAttempt(IsCutOff(*reply_) ? AttemptEnd::ConnectionFailed : AttemptEnd::Failed);
}

void PageFetchJob::EndAttempt(AttemptEnd how)
{
    wake_.stop();
    watch_.stop();
    DropReply();
    lastEnd_ = how;
    if (how == AttemptEnd::Success) {
        status_ = FetchStatus::Arrived;
        Finish();
        return;
    }
    if (GivesUpAfter(how)) {
        Finish();
        return;
    }
    const int pauseMs = ConnectionRetryPauseMs(line_.firstRetryPauseMs, attempt_);
    if (how == AttemptEnd::ConnectionFailed && pauseMs > 0)
        pause_.start(pauseMs);
    else
        StartAttempt();
}

bool PageFetchJob::GivesUpAfter(AttemptEnd how) const
{
    if (how == AttemptEnd::LoginPage)
        return true;
    if (rules_.host && rules_.host->IsUnreachable())
        return true;
    if (how == AttemptEnd::TimedOut && !rules_.retryAfterTimeout) {
        qCWarning(lcWeb) << "fetching" << address_ << "ran into the time-out; not tried again now";
        return true;
    }
    if (attempt_ < attempts_)
        return false;
    if (attempts_ > 1)
        qCWarning(lcWeb) << "gave up fetching" << address_ << "after" << attempts_ << "attempts";
    return true;
}

// Also ends an attempt under way: after the give-up time without a single
// answer, one more is not worth waiting for.
void PageFetchJob::OnHostUnreachable()
{
    const bool running = reply_ || pause_.isActive();
    if (finished_ || !running)
        return;
    pause_.stop();
    wake_.stop();
    watch_.stop();
    DropReply();
    Finish();
}

void PageFetchJob::DropReply()
{
    if (!reply_)
        return;
    QNetworkReply* reply = reply_;
    reply_.clear();
    // Our slots must not see the reply's end.
    disconnect(reply, nullptr, this, nullptr);
    if (reply->isFinished()) {
        reply->deleteLater();
        return;
    }
    // A connection failure may already be on its way from Qt's network
    // thread; an abort now would make the reply report a second error,
    // which Qt answers with "Internal problem, this method must only be
    // called once". The reply gets a moment to end by itself first.
    connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    QTimer::singleShot(kAbortGraceMs, reply, [reply] {
        if (!reply->isFinished())
            reply->abort();
    });
}

void PageFetchJob::Finish()
{
    finished_ = true;
    emit Finished();
}

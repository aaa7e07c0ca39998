#pragma once
// One page download driven by the event loop instead of waiting inside it:
// the request with its time parameter, the marker test, charset decoding,
// the body cap, the per-attempt time-out and the attempts of HttpGetPage,
// with attempts after a connection failure spaced out. Several jobs can be
// in flight at once; RunToEnd waits for one (HttpGetPage, FetchPage).
//
// Besides the whole attempt's time-out, an attempt has two shorter limits:
// no first byte within the first-byte limit counts as a failure without an
// answer (like a refused connection), and a body that brought less than
// kStallBytes in the last stall limit is given up as a time-out.
//
// A job of a download pass follows the pass's rules instead: an attempt
// that ran into a time-out is not repeated then (a page that trickles
// would cost five time-outs), and once the pass's host counts as
// unreachable the job ends at once.

#include <QDeadlineTimer>
#include <QNetworkRequest>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTime>
#include <QTimer>

#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// A body larger than this ends its attempt unfinished, so a runaway server
// cannot exhaust memory. Detail and download pages are a few hundred
// kilobytes.
inline constexpr qint64 kMaxBodyBytes = 32 * 1024 * 1024;

// Redirects followed per request; a longer chain (a loop) fails the attempt.
inline constexpr int kMaxRedirects = 10;

// Attempts a page download makes before it gives up.
inline constexpr int kPageAttempts = 5;
// The first byte of an answer must come within this time.
inline constexpr int kFirstByteLimitMs = 15000;
// A body that brings less than kStallBytes in this time has stalled.
inline constexpr int kStallLimitMs = 15000;
inline constexpr qint64 kStallBytes = 512;

class HostReachability;

// The pause after an attempt that failed at the connection level (refused,
// unreachable, reset before an answer) is firstPauseMs for the first
// attempt and doubles for each later one: 1, 2, 4, 8 s. A slow page or one
// without the marker is tried again at once. 0 gives no pauses.
int ConnectionRetryPauseMs(int firstPauseMs, int failedAttempt);

// How a page fetch ended.
enum class FetchStatus {
    Arrived, // an attempt found the completion marker
    Failed, // no attempt did
};

// A page fetch's end and the page it brought.
struct [[nodiscard]] FetchResult {
    FetchStatus status = FetchStatus::Failed;
    // The text of the last attempt that completed: cut and with line breaks
    // when it held the marker, else the whole decoded body. None when no
    // attempt completed (time-outs, connection failures, the application
    // quitting).
    std::optional<QString> body;

    bool Arrived() const { return status == FetchStatus::Arrived; }
};

// address + ("&" or "?") + "Time=HH:MM:SS".
QString AppendTimeParameter(const QString& address, const QTime& now);

// How a job treats failed attempts; the defaults are HttpGetPage's.
struct FetchRules {
    int attempts = kPageAttempts;
    bool retryAfterTimeout = true;
    // Told how each attempt ended; may end the job (see above).
    HostReachability* host = nullptr;
    int firstByteMs = kFirstByteLimitMs;
    int stallMs = kStallLimitMs;
    // A page read by its markup (a trade's detail page) comes as it was
    // sent: not cut before its last "<BR>" nor with "<+>" made a line
    // break, which would drop the page's end (and its shipping section) at
    // an upper-case line break anywhere in it.
    bool wholePage = false;
};

// What a job sends its attempts through: the network, the request an attempt
// makes for its address, and the first pause before a retry after a
// connection failure (later pauses double). The page fetcher gives it and
// outlives the job.
struct FetchLine {
    QNetworkAccessManager* network = nullptr;
    std::function<QNetworkRequest(const QString& url)> request;
    int firstRetryPauseMs = 1000;
};

class PageFetchJob : public QObject {
    Q_OBJECT
public:
    PageFetchJob(FetchLine line, QString address, QString marker, int timeoutSeconds,
        const FetchRules& rules = {}, QObject* parent = nullptr);
    // A job that is already over, with a result known beforehand (a
    // stand-in fetcher's answer).
    static PageFetchJob* Answered(const FetchResult& result, QObject* parent = nullptr);
    ~PageFetchJob() override;

    void Start();
    // Starts the job and waits for its end in a nested event loop: the
    // window stays live and no CPU is spent polling. When the application
    // is quitting, nested loops return at once; the job is then stopped
    // (failed, no body) rather than waited for in a spin.
    FetchResult RunToEnd();
    // Aborts the running request; no further attempt starts and Finished
    // is not emitted. The job counts as unfinished.
    void Cancel();

    bool IsFinished() const { return finished_; }
    FetchStatus Status() const { return status_; }
    // The status with the last completed attempt's text, once finished.
    FetchResult Result() const;
    // The text of the last attempt that completed: cut and with line
    // breaks when it held the marker, else the whole decoded body.
    const QString& Response() const { return response_; }
    // False when no attempt completed (time-outs, connection failures).
    bool ResponseWritten() const { return responseWritten_; }
    // The last attempt ran into a time-out or stalled: the host answered,
    // the page did not come.
    bool TimedOut() const { return lastEnd_ == AttemptEnd::TimedOut; }
    // An attempt was answered by the marketplace's login page: the session
    // has ended, and no later attempt would bring the page.
    bool LoginAnswered() const { return lastEnd_ == AttemptEnd::LoginPage; }

signals:
    void Finished();

private:
    enum class AttemptEnd { Success, Failed, ConnectionFailed, TimedOut, LoginPage };

    void StartAttempt();
    void OnReplyFinished();
    void OnWake();
    void OnBytes(qint64 received);
    void OnWatch();
    void OnHostUnreachable();
    bool GivesUpAfter(AttemptEnd how) const;
    void EndAttempt(AttemptEnd how);
    void DropReply();
    void Finish();

    FetchLine line_; // no network for an answered job
    QString address_;
    QString marker_;
    int timeoutSeconds_ = 0;
    FetchRules rules_;
    int attempts_ = kPageAttempts;
    int attempt_ = 0;
    QPointer<QNetworkReply> reply_;
    QDeadlineTimer deadline_;
    QTimer wake_; // the attempt's deadline, re-armed in slices
    QTimer pause_; // the wait before the next attempt
    QTimer watch_; // the first-byte limit, then the stall checks
    QElapsedTimer attemptClock_;
    bool answered_ = false; // a byte of this attempt's answer came
    qint64 received_ = 0;
    qint64 receivedAtCheck_ = 0;
    AttemptEnd lastEnd_ = AttemptEnd::Failed;
    FetchStatus status_ = FetchStatus::Failed;
    QString response_;
    bool responseWritten_ = false;
    bool finished_ = false;
};

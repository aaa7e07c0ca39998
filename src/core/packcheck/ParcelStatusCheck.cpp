#include "ParcelStatusCheck.h"

#include "DetailStatus.h"
#include "core/base/Logging.h"
#include "core/network/PageFetchJob.h"
#include "core/network/PageFetcher.h"

#include <QTimer>

namespace {

// The detail page's end, as the walk waits for it.
const QString kPageEndMarker = QStringLiteral(">关于淘宝</");

} // namespace

ParcelStatusCheck::ParcelStatusCheck(PageFetcher& fetcher, Endpoints endpoints, QObject* parent)
    : QObject(parent)
    , fetcher_(fetcher)
    , endpoints_(std::move(endpoints))
{
}

ParcelStatusCheck::~ParcelStatusCheck()
{
    DropJobs();
}

void ParcelStatusCheck::DropJobs()
{
    for (const QPointer<PageFetchJob>& job : std::as_const(jobs_))
        if (job) {
            job->disconnect(this);
            job->Cancel();
            job->deleteLater();
        }
    jobs_.clear();
}

void ParcelStatusCheck::Start(int index, const Parcel& parcel)
{
    DropJobs();
    check_ = ParcelCheck {};
    check_.parcel = index;
    clock_.start();
    FetchRules rules;
    rules.attempts = kScanAttempts;
    rules.retryAfterTimeout = false;
    rules.firstByteMs = kScanFirstByteMs;
    rules.stallMs = kScanFirstByteMs;
    rules.wholePage = true;
    for (qsizetype i = 0; i < parcel.slip.orders.size(); ++i) {
        TradeCheck trade;
        trade.order = parcel.slip.orders[i];
        trade.morningStatus = parcel.morningStatuses.value(i);
        check_.trades.append(trade);
        PageFetchJob* job = fetcher_.StartPageFetch(
            TradeDetailAddress(endpoints_, trade.order), kPageEndMarker, kScanTimeoutSeconds, rules);
        jobs_.append(job);
        connect(job, &PageFetchJob::Finished, this, &ParcelStatusCheck::OneDone);
    }
    // A parcel without trades, or jobs already answered (a stand-in's),
    // report once the caller is back in the event loop, as a fetch would.
    QTimer::singleShot(0, this, &ParcelStatusCheck::OneDone);
}

void ParcelStatusCheck::OneDone()
{
    if (jobs_.isEmpty() && check_.parcel < 0)
        return;
    for (const QPointer<PageFetchJob>& job : std::as_const(jobs_))
        if (job && !job->IsFinished())
            return;
    QList<ParcelVerdict> verdicts;
    for (qsizetype i = 0; i < jobs_.size(); ++i) {
        TradeCheck& trade = check_.trades[i];
        PageFetchJob* job = jobs_[i];
        if (job && job->Status() == FetchStatus::Arrived)
            trade.statusNow = ReadDetailStatus(job->Response());
        trade.loginPage = job && job->LoginAnswered();
        trade.verdict = VerdictOfStatus(trade.statusNow);
        if (!trade.statusNow)
            qCWarning(lcCommands) << "status of" << trade.order << "not read at the packing bench"
                                  << (trade.loginPage ? "(login page)" : "");
        verdicts.append(trade.verdict);
    }
    check_.verdict = WorstVerdict(verdicts);
    check_.elapsedMs = clock_.elapsed();
    const ParcelCheck done = check_;
    DropJobs();
    check_.parcel = -1;
    emit Checked(done);
}

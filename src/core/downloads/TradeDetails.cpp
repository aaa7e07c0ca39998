#include "TradeDetails.h"

#include "DetailDownloadPass.h"
#include "core/base/Logging.h"
#include "core/downloads/DetailFetch.h"
#include "core/downloads/StoredDetails.h"
#include "core/downloads/WalkContext.h"
#include "core/grid/GridSetup.h"
#include "core/grid/GridSteps.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"
#include "core/settings/DetailDownloadSetting.h"
#include "core/trade/ColumnTable.h"

#include <algorithm>

namespace {

constexpr int kFirstDetailCol = kFirstDetailColumn;

// Rows that hold a trade's further items get the trade row's recipient and
// logistics columns. The whole grid is refreshed, earlier pages included.
void CopyDetailsToContinuationRows(TradeGrid& grid)
{
    const int rows = grid.Rows();
    for (int row = grid.FixedRows(); row < rows; ++row) {
        const QString orderNumber = CellOrEmpty(grid, row, grid.FixedCols());
        if (!IsFurtherItemOrder(orderNumber))
            continue;
        const int source = grid.FindOrderRow(TradeOfOrder(orderNumber));
        if (source < 0 || source == row)
            continue;
        for (int col = kFirstDetailCol; col < kFirstDetailCol + kDetailColumnCount; ++col)
            SetCellIfInside(grid, row, col, CellOrEmpty(grid, source, col));
    }
}

// The trades of the last newRowCount rows, bottom-up; rows of further
// items are not downloaded. Read before the first download: the rows may
// move or go while pages download, the order numbers stay.
QStringList NewTradeOrders(const TradeGrid& grid, int newRowCount)
{
    QStringList orders;
    const int lastRow = grid.Rows() - 1;
    const int firstRow = std::max(grid.Rows() - std::max(newRowCount, 0), grid.FixedRows());
    // A grid without its order column has no trade to download.
    if (grid.FixedCols() >= grid.Cols())
        return orders;
    for (int row = lastRow; row >= firstRow; --row) {
        const QString orderNumber = grid.TextMatrix(row, grid.FixedCols());
        if (!IsFurtherItemOrder(orderNumber) && !orders.contains(orderNumber))
            orders.append(orderNumber);
    }
    return orders;
}

// Steps the progress window as the pass tells: trades done count when the
// window is the pass's own, and the network notices replace its message
// while they hold. A window the user closed stays closed.
class PassProgress {
public:
    PassProgress(Progress& progress, bool countTrades)
        : progress_(progress)
        , countTrades_(countTrades)
        , normalMessage_(progress.State().message)
    {
    }

    void operator()(const DetailFetchNews& news) const
    {
        if (countTrades_ && news.finished > 0)
            StepProgress(progress_, news.finished, ProgressPagesMode());
        if (!news.notice || !ProgressWindowOpen(progress_))
            return;
        if (news.networkWait)
            ShowNetworkWait(progress_, *news.notice);
        else
            StepProgress(progress_, 0, news.notice->isEmpty() ? normalMessage_ : *news.notice);
    }

private:
    Progress& progress_;
    const bool countTrades_;
    const QString normalMessage_;
};

// One pass over orders, its result applied to the run's ledger and the
// command's pass once. ownProgress: the window is the pass's own and counts
// its trades; otherwise, during a page walk, the user's stop (closing the
// walk's window) stops the downloads: nothing still downloading writes
// afterwards, and the trades not done are remembered as failed.
void RunPass(WalkContext& run, TradeGrid& grid, const QStringList& orders, bool ownProgress, bool useHistory,
    DetailDownloadPass& pass, const std::function<void()>& queued = {})
{
    const bool inWalk = !ownProgress && ProgressWindowOpen(run.progress);
    const quint64 stopsBefore = run.progress.StopRequests();
    const PassProgress progress(run.progress, ownProgress);
    const DetailFetchInputs inputs { .fetcher = run.fetcher,
        .endpoints = run.endpoints,
        .downloadsAtOnce = DetailDownloadLimit(run.detailDownloads, run.settings),
        .history = run.history,
        .useHistory = useHistory,
        .orders = orders,
        .stop = [&] { return inWalk && run.progress.StopRequests() != stopsBefore; },
        .tellOutage = ownProgress || inWalk };
    const DetailFetch fetch = FetchDetails(inputs, grid, pass, [&](const DetailFetchNews& news) {
        if (news.allQueued && queued)
            queued();
        progress(news);
    });
    ApplyDetailFetch(run.details, fetch);
    pass.fromHistory += int(fetch.fromHistory.size());
    pass.sessionEnded = pass.sessionEnded || fetch.sessionEnded;
    pass.historyWriteFailed = pass.historyWriteFailed || fetch.historyWriteFailed;
}

} // namespace

QString NetworkWaitMessage(qint64 waitedSeconds)
{
    return QStringLiteral("无法连接淘宝，正在等待网络恢复…（已等待 %1 秒）").arg(waitedSeconds);
}

void DownloadTradeDetails(WalkContext& run, TradeGrid& grid, int newRowCount, bool showProgress,
    const QStringList& alsoFetch, DetailDownloadPass& pass, const std::function<void()>& queued)
{
    QStringList orders = NewTradeOrders(grid, newRowCount);
    for (const QString& order : alsoFetch)
        if (!orders.contains(order))
            orders.append(order);
    if (showProgress)
        StartProgress(
            run.progress, QStringLiteral("正在下载物流信息...."), newRowCount + int(alsoFetch.size()), 0);
    RunPass(run, grid, orders, showProgress, true, pass, queued);
    CopyDetailsToContinuationRows(grid);
    if (showProgress)
        CloseProgress(run.progress);
}

DetailShortfall FinishDetailDownloads(
    WalkContext& run, TradeGrid& grid, bool fetchAgain, DetailDownloadPass& pass)
{
    const QStringList failed = OrdersStillInGrid(grid, run.details.FailedOrders());
    for (const QString& order : QStringList(run.details.FailedOrders()))
        if (!failed.contains(order))
            run.details.ForgetFailed(order);
    if (fetchAgain && !pass.sessionEnded && !failed.isEmpty()) {
        qCInfo(lcExtract) << "fetching" << failed.size() << "failed trade details once more";
        const bool ownProgress = !ProgressWindowOpen(run.progress);
        if (ownProgress)
            StartProgress(run.progress, QStringLiteral("正在下载物流信息...."), int(failed.size()), 0);
        RunPass(run, grid, failed, ownProgress, false, pass);
        CopyDetailsToContinuationRows(grid);
        if (ownProgress)
            CloseProgress(run.progress);
        return FinishDetailDownloads(run, grid, false, pass);
    }
    DetailShortfall shortfall;
    shortfall.failed = failed;
    shortfall.timedOut = run.details.TimedOutAmong(failed);
    DetailLedger::Named named = run.details.TakeNamed();
    shortfall.findings = std::move(named.findings);
    shortfall.sawShippingSection = named.sawShippingSection;
    shortfall.sessionExpired = named.sawLoginPage && !failed.isEmpty();
    WeighMissingSections(shortfall, grid, run.history && run.history->ShippingSectionSeen());
    if (!failed.isEmpty())
        qCWarning(lcExtract) << failed.size() << "trades left without their details:" << failed;
    return shortfall;
}

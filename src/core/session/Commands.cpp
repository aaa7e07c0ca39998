#include "Commands.h"

#include "PageLoadWatch.h"
#include "core/base/EventWait.h"
#include "core/base/Logging.h"
#include "core/base/UserPrompt.h"
#include "core/downloads/DetailDownloadPass.h"
#include "core/downloads/TradeDetails.h"
#include "core/extract/ListPageMarks.h"
#include "core/extract/PagerText.h"
#include "core/grid/GridOperations.h"
#include "core/grid/GridSetup.h"
#include "core/grid/GridSteps.h"
#include "core/grid/TradeGrid.h"
#include "core/network/PageAccess.h"
#include "core/progress/Progress.h"
#include "core/recovery/GridRecovery.h"
#include "core/session/PageExtraction.h"
#include "core/session/RunContext.h"
#include "core/text/TextHelpers.h"
#include "core/text/TextMeasurer.h"

#include <QElapsedTimer>
#include <algorithm>

QString ShopNickFromBody(QString bodyHtml)
{
    QString html = CutAtMarker(bodyHtml, QStringLiteral("user-nick"), false);
    CutAtMarker(html, QStringLiteral(">"), true);
    return CutAtMarker(html, QStringLiteral("<"), true).trimmed();
}

bool ClearTradeGrid(UserPrompt& prompt, TradeGrid& grid)
{
    if (grid.HasUnexportedRows()) {
        const int dataRows = grid.Rows() - grid.FixedRows();
        if (!prompt.AskYesNo(QString::fromUtf8(kClearUnexportedQuestion).arg(dataRows)))
            return false;
    }
    grid.SetRows(grid.FixedRows());
    return true;
}

void DeleteSelectedRows(TradeGrid& grid)
{
    const int row = grid.Row();
    const int rowSel = grid.RowSel();
    // Cleared before the rows go: the view shows the grid's selection again
    // when the rows are removed, and it must not light up the trades that
    // moved into the deleted rows' places (a second click would delete them).
    const int titleRow = std::max(grid.FixedRows() - 1, 0);
    grid.SetSelection(titleRow, titleRow);
    DeleteRows(grid, row, rowSel); // clamps the selection to the data rows
}

int RemoveClosedTrades(Progress& progress, TradeGrid& grid)
{
    const int dataRows = grid.Rows() - grid.FixedRows();
    StartProgress(progress, QString::fromUtf8(kRemovingClosedMessage), dataRows, 0);
    // One bulk removal gives the grid the bottom-up row-by-row deletion
    // would; the progress still counts every data row.
    int removed = 0;
    if (grid.Cols() > ColStatus) {
        removed
            = grid.RemoveRowsWhere([&](int row) { return IsClosedStatus(grid.TextMatrix(row, ColStatus)); });
    }
    for (int i = 0; i < dataRows; ++i)
        StepProgress(progress, 1, ProgressPagesMode());
    CloseProgress(progress);
    return removed;
}

namespace {

// Loads a list page that failed for the network again, one try every probe
// interval, until it arrives, the wait runs out or the user stops. True
// when the page arrived.
bool WaitForListPage(Progress& progress, PageLoadWatch& nextPage, int nextPageTimeoutMs,
    const NetworkWait& wait, const std::function<bool()>& stopRequested)
{
    if (!nextPage.LastLoadFailed())
        return true;
    if (wait.maxMs == 0)
        return false;
    qCWarning(lcWeb) << "a list page did not load; waiting for the network";
    const QString normalMessage = progress.State().message;
    QElapsedTimer waited;
    waited.start();
    while (nextPage.LastLoadFailed()) {
        if (stopRequested() || (wait.maxMs > 0 && waited.elapsed() >= wait.maxMs))
            return false;
        ShowNetworkWait(progress, NetworkWaitMessage(waited.elapsed() / 1000));
        WaitUntil(stopRequested, wait.probeEveryMs, PageFetchQueue::kStopCheckMs);
        if (stopRequested())
            return false;
        nextPage.Arm();
        nextPage.RetryLoad();
        nextPage.WaitLoaded(nextPageTimeoutMs);
    }
    qCInfo(lcWeb) << "the list page loaded after" << waited.elapsed() << "ms";
    StepProgress(progress, 0, normalMessage);
    return true;
}

} // namespace

WalkResult WalkAllPages(Progress& progress, const std::function<bool()>& extractPage,
    const std::function<bool()>& shownPageIsList, PageLoadWatch& nextPage, int nextPageTimeoutMs,
    const std::function<bool()>& marketUnreachable, const NetworkWait& listWait)
{
    // Only the user's own request stops the walk; anything else that
    // closes the shared progress window does not.
    const quint64 stopsBefore = progress.StopRequests();
    const auto stopRequested = [&] { return progress.StopRequests() != stopsBefore; };
    const auto unreachable = [&] { return marketUnreachable && marketUnreachable(); };
    WalkResult walk;
    for (int i = 0; i < kExtractAllMaxPasses; ++i) {
        nextPage.Arm();
        ++walk.passes;
        // The one-second pause between pages runs from the page's start,
        // so it overlaps the detail downloads instead of following them.
        const qint64 pauseEnd = CurrentSecond() + 1;
        const bool movedOn = extractPage();
        if (!movedOn || unreachable()) {
            // A stop while waiting for the network ends the walk as the
            // host's absence does, with its message.
            if (unreachable())
                walk.end = WalkEnd::MarketUnreachable;
            else if (stopRequested())
                walk.end = WalkEnd::StoppedByUser;
            else if (walk.passes > 1 && !shownPageIsList())
                walk.end = WalkEnd::PageNotOpened;
            return walk;
        }
        WaitUntilSecond(pauseEnd);
        if (stopRequested()) {
            walk.end = WalkEnd::StoppedByUser;
            return walk;
        }
        StepProgress(progress, 1, ProgressPagesMode());
        // Read the next page only once it is there, so a slow page cannot
        // end the walk early. A page that never finishes is read as it is.
        nextPage.WaitLoaded(nextPageTimeoutMs);
        if (!WaitForListPage(progress, nextPage, nextPageTimeoutMs, listWait, stopRequested)) {
            if (listWait.maxMs != 0) {
                walk.end = WalkEnd::MarketUnreachable;
                return walk;
            }
        }
    }
    walk.end = WalkEnd::PageLimit;
    return walk;
}

WalkResult ExtractAllPages(RunContext& run, BrowserPage& browser, TradeGrid& grid, PageLoadWatch& nextPage,
    DetailDownloadPass& detailPass, int nextPageTimeoutMs, const std::function<void(int page)>& pageRead)
{
    if (const std::optional<int> pagesLeft = PagesLeftFromHtml(GetBodyHtml(browser)))
        SetProgressTotal(run.progress, std::min(*pagesLeft, kExtractAllMaxPasses));
    const int startRows = grid.Rows();
    QStringList pageMessages;
    const quint64 stopsBefore = run.progress.StopRequests();
    const auto stoppedByUser = [&] { return run.progress.StopRequests() != stopsBefore; };
    // Each page is saved for crash recovery once its details are in, never
    // in the middle of one.
    int pages = 0;
    const auto extractPage = [&] {
        PageExtraction page = ExtractTradePage(run, browser, grid, true, detailPass);
        pageMessages += page.messages;
        CheckpointGrid(run.checkpoint, grid, run.details.PendingFindings());
        if (pageRead)
            pageRead(++pages);
        return page.nextClicked;
    };
    WalkResult walk = WalkAllPages(
        run.progress, extractPage, [&] { return ShowsTradeList(browser); }, nextPage, nextPageTimeoutMs,
        [&] { return detailPass.host.IsUnreachable(); }, detailPass.wait);
    if ((walk.end == WalkEnd::PageNotOpened && ShowsLoginPage(browser)) || detailPass.sessionEnded)
        walk.end = WalkEnd::SessionExpired;
    else if (walk.end == WalkEnd::LastPage && detailPass.stoppedOnUnreadablePage)
        walk.end = WalkEnd::PageUnreadable;
    walk.trades = CountTrades(grid, startRows);
    walk.historyUsed = run.history != nullptr;
    // A walk the user stopped does not start downloading again; the failed
    // trades are still named. Nor does one that gave the trade host up: it
    // has just had its chance.
    const bool fetchAgain
        = walk.end != WalkEnd::StoppedByUser && walk.end != WalkEnd::MarketUnreachable && !stoppedByUser();
    walk.details = FinishDetailDownloads(run, grid, fetchAgain, detailPass);
    walk.fromHistory = detailPass.fromHistory;
    walk.listSaidEmpty = detailPass.listSaidEmpty;
    walk.pageMessages = pageMessages;
    return walk;
}

QString WalkEndMessage(const WalkResult& walk)
{
    switch (walk.end) {
    case WalkEnd::PageNotOpened:
        return QStringLiteral("第%1页无法打开，提取已停止，已提取%2笔交易。")
            .arg(walk.passes)
            .arg(walk.trades);
    case WalkEnd::PageLimit:
        return QStringLiteral("已提取%1页，达到一次提取的页数上限，已提取%2笔交易。")
            .arg(walk.passes)
            .arg(walk.trades);
    case WalkEnd::MarketUnreachable:
        return QStringLiteral("无法连接淘宝（网络中断超过%1秒），提取已停止：已读 %2 页，已提取 %3 笔交易。")
            .arg(HostReachability::kDefaultGiveUpMs / 1000)
            .arg(walk.passes)
            .arg(walk.trades);
    case WalkEnd::SessionExpired:
        return QStringLiteral("登录已过期，请重新登录后再提取：已读 %1 页，已提取 %2 笔交易。")
            .arg(walk.passes - 1)
            .arg(walk.trades);
    case WalkEnd::PageUnreadable:
        return QStringLiteral("第%1页的交易一笔也没有读到，提取已停止，已提取%2笔交易。")
            .arg(walk.passes)
            .arg(walk.trades);
    case WalkEnd::LastPage:
    case WalkEnd::StoppedByUser:
        break;
    }
    return QString();
}

QString HistoryShareText(const WalkResult& walk)
{
    if (walk.fromHistory <= 0)
        return QString();
    return QStringLiteral("已提取 %1 笔交易（%2 笔详情来自历史记录）").arg(walk.trades).arg(walk.fromHistory);
}

QString WalkReportMessage(const WalkResult& walk)
{
    return JoinParagraphs(
        { WalkEndMessage(walk), HistoryShareText(walk), DetailShortfallMessage(walk.details) });
}

int CountTrades(const TradeGrid& grid, int firstRow)
{
    int trades = 0;
    if (grid.Cols() <= ColOrderNumber)
        return 0;
    for (int row = std::max(firstRow, grid.FixedRows()); row < grid.Rows(); ++row) {
        const QString order = grid.TextMatrix(row, ColOrderNumber);
        if (!order.isEmpty() && !IsFurtherItemOrder(order))
            ++trades;
    }
    return trades;
}

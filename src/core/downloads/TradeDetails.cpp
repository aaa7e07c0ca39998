#include "TradeDetails.h"

#include "DetailDownloadPass.h"
#include "core/base/Logging.h"
#include "core/downloads/StoredDetails.h"
#include "core/downloads/StoredDetailsPolicy.h"
#include "core/downloads/WalkContext.h"
#include "core/extract/DetailPage.h"
#include "core/extract/OrderNotes.h"
#include "core/grid/GridSetup.h"
#include "core/grid/GridSteps.h"
#include "core/grid/NoteRecord.h"
#include "core/grid/TradeGrid.h"
#include "core/network/LoginForm.h"
#include "core/network/PageFetchQueue.h"
#include "core/progress/Progress.h"
#include "core/settings/DetailDownloadSetting.h"
#include "core/text/TextHelpers.h"
#include "core/trade/ColumnTable.h"

#include <QTimer>
#include <algorithm>
#include <optional>

namespace {

const QString kPageEndMarker = QStringLiteral(">关于淘宝</");
const QString kOutageMessage = QStringLiteral("网络中断，正在重试…");
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
    for (int row = lastRow; row >= firstRow; --row) {
        QString orderNumber;
        try {
            orderNumber = grid.TextMatrix(row, grid.FixedCols());
        } catch (const GridRangeError& error) {
            qCWarning(lcGrid) << "row" << row << "left out of the detail pass:" << error.what();
            continue;
        }
        if (!IsFurtherItemOrder(orderNumber) && !orders.contains(orderNumber))
            orders.append(orderNumber);
    }
    return orders;
}

// The row's detail columns and status as the history keeps them.
HistoryEntry EntryOfRow(const TradeGrid& grid, int row, const QString& orderNumber)
{
    HistoryEntry entry { orderNumber, {}, CellOrEmpty(grid, row, ColStatus),
        QDateTime::currentDateTimeUtc() };
    for (int i = 0; i < kHistoryDetailColumns; ++i)
        entry.details.append(CellOrEmpty(grid, row, kFirstDetailCol + i));
    return entry;
}

// Trades whose stored columns may stand in for their detail page (both the
// stored and the listed status final) get them now; the others are
// returned, to be downloaded.
QStringList TakeFromHistory(
    WalkContext& run, TradeGrid& grid, const QStringList& orders, bool showProgress, DetailDownloadPass& pass)
{
    if (!run.history || !run.history->IsOpen())
        return orders;
    QStringList toDownload;
    for (const QString& order : orders) {
        const int row = grid.FindOrderRow(order);
        const std::optional<HistoryEntry> stored = row >= 0 ? run.history->Find(order) : std::nullopt;
        if (!stored || !UseStoredDetails(stored->status, CellOrEmpty(grid, row, ColStatus))) {
            toDownload.append(order);
            continue;
        }
        for (int i = 0; i < kHistoryDetailColumns; ++i)
            SetCellIfInside(grid, row, kFirstDetailCol + i, stored->details.value(i));
        RefreshNoteRecord(grid, row, order);
        run.details.ForgetFailed(order);
        ++pass.fromHistory;
        if (showProgress)
            StepProgress(run.progress, 1, ProgressPagesMode());
    }
    return toDownload;
}

// The marketplace's login form, which a detail address answers with once
// the session has ended.
bool LooksLikeLoginPage(const QString& page)
{
    return ShowsLoginForm(page);
}

// A finished download goes into the row that holds its order number now,
// found again after the wait; a trade deleted meanwhile gets nothing. True
// when the page arrived whole with a block that passed every check: only
// such a row is what the history keeps.
bool WriteDownloadedDetails(DetailLedger& ledger, TradeGrid& grid, const PageFetchQueue::Done& done)
{
    const int row = grid.FindOrderRow(done.key);
    if (row < 0) {
        ledger.ForgetFailed(done.key);
        return false;
    }
    // Columns are written only from a block the page really holds: without
    // one, the page's other text would land in the recipient columns.
    const std::optional<RecipientBlock> block = FindRecipientBlock(done.response);
    DetailFindings findings;
    if (block)
        findings = WriteRecipientColumns(grid, row, *block, CellOrEmpty(grid, row, ColStatus));
    if (done.status != FetchStatus::Arrived) {
        ledger.RememberFailed(done.key, done.timedOut);
        if (LooksLikeLoginPage(done.response))
            ledger.RememberLoginPage();
        return false;
    }
    ledger.ForgetFailed(done.key);
    // The order information stands apart from the shipping block: a page
    // without the latter still has the buyer's message.
    WriteRowNotes(grid, row, NotesOfTrade(done.key, ReadOrderNotes(done.response)));
    // The page arrived whole but has nothing to ship to: fetching it again
    // would not help, so the trade is named instead (weighed at the end of
    // the command: virtual goods, a trade to ship, or a renamed section).
    if (!block) {
        qCWarning(lcExtract) << "detail page without a recipient block:" << done.key;
        ledger.Add(
            TradeFinding(done.key, FindingKind::WithoutShippingSection, -1, {}, FindingSeverity::Note));
        return false;
    }
    ledger.RememberShippingSection();
    for (const int col : findings.refusedColumns) {
        const bool logistics = col == ColCompany || col == ColWaybill;
        const QString seen = col == ColCompany ? block->company.value_or(QString())
            : col == ColWaybill                ? block->waybill.value_or(QString())
                                               : block->addressLine;
        qCWarning(lcExtract) << "detail block of" << done.key << "not read whole, column" << col << ":"
                             << (logistics
                                        ? seen
                                        : QStringLiteral("(address line, %1 characters)").arg(seen.size()));
        ledger.Add(TradeFinding(done.key, FindingKind::FieldShape, col, seen));
    }
    if (findings.parcelsUnread) {
        qCWarning(lcExtract) << "parcels of" << done.key << "do not pair up:" << block->companies
                             << block->waybills;
        ledger.Add(TradeFinding(done.key, FindingKind::ParcelsUnread, ColWaybill,
            QStringList(block->companies + block->waybills).join(QStringLiteral(" "))));
    }
    if (findings.addressToCheck) {
        qCWarning(lcExtract) << "address of" << done.key << "not in the division list";
        ledger.Add(TradeFinding(done.key, FindingKind::AddressToCheck, ColCity,
            CellOrEmpty(grid, row, ColCity) + CellOrEmpty(grid, row, ColDistrict), FindingSeverity::ToCheck));
    }
    if (findings.maskedMobile)
        ledger.Add(TradeFinding(done.key, FindingKind::MaskedMobile, ColMobile,
            CellOrEmpty(grid, row, ColMobile), FindingSeverity::Note));
    if (findings.shippedWithoutWaybill) {
        qCWarning(lcExtract) << "shipped trade without a waybill:" << done.key;
        ledger.Add(TradeFinding(done.key, FindingKind::ShippedWithoutWaybill, ColWaybill));
    }
    return findings.IsClean();
}

// While failures without an answer are retried the progress window says
// why nothing moves, and while the downloads wait for the network, for how
// long; its own message comes back with the next answer, or when the
// downloads end.
class OutageNotice {
public:
    OutageNotice(
        Progress& progress, const HostReachability& host, const NetworkWait& wait, bool progressShown)
        : progress_(progress)
        , host_(host)
        , wait_(wait)
    {
        if (!progressShown)
            return;
        normalMessage_ = progress.State().message;
        Show();
        // Queued: the progress window runs events, which must not happen
        // inside a reply's signal.
        QObject::connect(
            &host, &HostReachability::FailingChanged, &context_, [this] { Show(); }, Qt::QueuedConnection);
        QObject::connect(
            &host, &HostReachability::BecameUnreachable, &context_, [this] { Show(); }, Qt::QueuedConnection);
        QObject::connect(&tick_, &QTimer::timeout, &context_, [this] { Show(); });
    }
    ~OutageNotice() { Show(true); }
    OutageNotice(const OutageNotice&) = delete;
    OutageNotice& operator=(const OutageNotice&) = delete;

private:
    void Show(bool ending = false)
    {
        const bool waiting = !ending && wait_.Holds(host_);
        QString message;
        // The wait began with the silence, not with the verdict that the
        // host is away: the count says how long nothing has come.
        if (waiting)
            message = NetworkWaitMessage(host_.SilentForMs() / 1000);
        else if (!ending && host_.IsFailing())
            message = kOutageMessage;
        if (waiting && !tick_.isActive()) {
            qCWarning(lcWeb) << "无法连接淘宝，正在等待网络恢复…";
            tick_.start(1000);
        } else if (!waiting) {
            tick_.stop();
        }
        // A window the user closed stays closed.
        if (!ProgressWindowOpen(progress_))
            return;
        if (waiting) {
            shown_ = message;
            ShowNetworkWait(progress_, message);
            return;
        }
        if (message == shown_)
            return;
        shown_ = message;
        StepProgress(progress_, 0, message.isEmpty() ? normalMessage_ : message);
    }

    Progress& progress_;
    const HostReachability& host_;
    const NetworkWait& wait_;
    QObject context_;
    QTimer tick_;
    QString normalMessage_;
    QString shown_; // empty: the normal message
};

// Up to DetailDownloadLimit pages download at once. During a page walk,
// the user's stop (closing its progress window) stops them: nothing still
// downloading writes afterwards, and the trades not done are remembered as
// failed.
void DownloadDetailsOf(WalkContext& run, TradeGrid& grid, const QStringList& orders, bool showProgress,
    DetailDownloadPass& pass, const std::function<void()>& allSent = {})
{
    const bool inWalk = !showProgress && ProgressWindowOpen(run.progress);
    const quint64 stopsBefore = run.progress.StopRequests();
    const OutageNotice notice(run.progress, pass.host, pass.wait, showProgress || inWalk);
    FetchRules rules = pass.limits;
    rules.wholePage = true;
    PageFetchQueue queue(run.fetcher, DetailDownloadLimit(run.detailDownloads, run.settings), kPageEndMarker,
        pass.attemptTimeoutSeconds, pass.host, rules, pass.wait);
    for (const QString& order : orders)
        queue.Add(order, TradeDetailAddress(run.endpoints, order));
    const auto stopped = [&] { return inWalk && run.progress.StopRequests() != stopsBefore; };
    if (allSent)
        queue.WhenAllSent(allSent);
    QList<HistoryEntry> fetched;
    while (const auto done = queue.Next(stopped)) {
        // Every later request would get the login page too; those already
        // sent may still bring their pages.
        if (done->loginPage && !pass.sessionEnded) {
            pass.sessionEnded = true;
            for (const QString& order : queue.DropWaiting())
                run.details.RememberFailed(order);
        }
        if (WriteDownloadedDetails(run.details, grid, *done))
            fetched.append(EntryOfRow(grid, grid.FindOrderRow(done->key), done->key));
        if (showProgress)
            StepProgress(run.progress, 1, ProgressPagesMode());
    }
    // One transaction for the page, after its downloads: the history never
    // holds a walk up longer than that write.
    // A page the history did not take is logged by the history and told
    // after the command; the grid has it either way.
    if (run.history && !fetched.isEmpty() && run.history->StorePage(fetched) != HistoryWrite::Stored)
        pass.historyWriteFailed = true;
    for (const QString& order : queue.CancelRest())
        run.details.RememberFailed(order);
    if (pass.host.IsUnreachable())
        qCWarning(lcExtract) << "trade host unreachable: the downloads of this pass were given up";
}

} // namespace

QString NetworkWaitMessage(qint64 waitedSeconds)
{
    return QStringLiteral("无法连接淘宝，正在等待网络恢复…（已等待 %1 秒）").arg(waitedSeconds);
}

void DownloadTradeDetails(WalkContext& run, TradeGrid& grid, int newRowCount, bool showProgress,
    const QStringList& alsoFetch, DetailDownloadPass& pass, const std::function<void()>& allSent)
{
    QStringList orders = NewTradeOrders(grid, newRowCount);
    for (const QString& order : alsoFetch)
        if (!orders.contains(order))
            orders.append(order);
    if (showProgress)
        StartProgress(
            run.progress, QStringLiteral("正在下载物流信息...."), newRowCount + int(alsoFetch.size()), 0);

    orders = TakeFromHistory(run, grid, orders, showProgress, pass);
    // After an ended session every request gets the login page.
    if (pass.sessionEnded) {
        for (const QString& order : orders)
            run.details.RememberFailed(order);
        orders.clear();
    }
    DownloadDetailsOf(run, grid, orders, showProgress, pass, allSent);
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
        DownloadDetailsOf(run, grid, failed, ownProgress, pass);
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

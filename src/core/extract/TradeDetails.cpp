#include "TradeDetails.h"

#include "DetailDownloadPass.h"
#include "AddressLine.h"
#include "PieceText.h"
#include "core/context/RunContext.h"
#include "core/base/Logging.h"
#include "core/grid/ColumnTable.h"
#include "core/grid/GridSetup.h"
#include "core/grid/GridSteps.h"
#include "core/grid/TradeGrid.h"
#include "core/history/StoredDetailsPolicy.h"
#include "core/history/TradeHistory.h"
#include "core/network/PageFetchQueue.h"
#include "core/progress/Progress.h"
#include "core/settings/DetailDownloadSetting.h"
#include "core/text/TextHelpers.h"

#include <QTimer>
#include <algorithm>
#include <optional>

namespace {

const QString kPageEndMarker = QStringLiteral(">关于淘宝</");
const QString kOutageMessage = QStringLiteral("网络中断，正在重试…");
const QString kWaitingMessage = QStringLiteral("无法连接淘宝，正在等待网络恢复…（已等待 %1 秒）");
const QString kDash = QStringLiteral("—");
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
    HistoryEntry entry { orderNumber, {}, CellOrEmpty(grid, row, ColStatus), QDateTime::currentDateTimeUtc() };
    for (int i = 0; i < kHistoryDetailColumns; ++i)
        entry.details.append(CellOrEmpty(grid, row, kFirstDetailCol + i));
    return entry;
}

// Trades whose stored columns may stand in for their detail page (both the
// stored and the listed status final) get them now; the others are
// returned, to be downloaded.
QStringList TakeFromHistory(
    RunContext& run, TradeGrid& grid, const QStringList& orders, bool showProgress, DetailDownloadPass& pass)
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
        run.details.ForgetFailed(order);
        // The stored columns came from a page that had its shipping section.
        run.details.RememberShippingSection();
        ++pass.fromHistory;
        if (showProgress)
            StepProgress(run.progress, 1, ProgressPagesMode());
    }
    return toDownload;
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
        return false;
    }
    ledger.ForgetFailed(done.key);
    // The page arrived whole but has nothing to ship to: fetching it again
    // would not help, so the trade is named instead.
    if (!block) {
        qCWarning(lcExtract) << "detail page without a recipient block:" << done.key;
        ledger.RememberWithoutShippingData(done.key);
        return false;
    }
    ledger.RememberShippingSection();
    if (findings.unreadable) {
        qCWarning(lcExtract) << "detail block of" << done.key << "not read whole:" << block->addressLine
                             << block->company.value_or(QStringLiteral("(no company)"))
                             << block->waybill.value_or(QStringLiteral("(no waybill)"));
        ledger.NameTrade(done.key, TradeFinding::Unreadable);
    }
    if (findings.addressToCheck) {
        qCWarning(lcExtract) << "address of" << done.key << "not in the division list:" << block->addressLine;
        ledger.NameTrade(done.key, TradeFinding::AddressToCheck);
    }
    if (findings.shippedWithoutWaybill) {
        qCWarning(lcExtract) << "shipped trade without a waybill:" << done.key;
        ledger.NameTrade(done.key, TradeFinding::ShippedWithoutWaybill);
    }
    return findings.IsClean();
}

// While failures without an answer are retried the progress window says
// why nothing moves, and while the downloads wait for the network, for how
// long; its own message comes back with the next answer, or when the
// downloads end.
class OutageNotice {
public:
    OutageNotice(Progress& progress, const HostReachability& host, const NetworkWait& wait, bool progressShown)
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
        QObject::connect(&host, &HostReachability::FailingChanged, &context_, [this] { Show(); }, Qt::QueuedConnection);
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
        if (waiting)
            message = kWaitingMessage.arg(host_.UnreachableForMs() / 1000);
        else if (!ending && host_.IsFailing())
            message = kOutageMessage;
        if (waiting && !tick_.isActive()) {
            qCWarning(lcWeb) << "无法连接淘宝，正在等待网络恢复…";
            tick_.start(1000);
        } else if (!waiting) {
            tick_.stop();
        }
        // A window the user closed stays closed.
        if (message == shown_ || !ProgressWindowOpen(progress_))
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
void DownloadDetailsOf(
    RunContext& run, TradeGrid& grid, const QStringList& orders, bool showProgress, DetailDownloadPass& pass)
{
    const bool inWalk = !showProgress && ProgressWindowOpen(run.progress);
    const quint64 stopsBefore = run.progress.StopRequests();
    const OutageNotice notice(run.progress, pass.host, pass.wait, showProgress || inWalk);
    PageFetchQueue queue(run.fetcher, DetailDownloadLimit(run.detailDownloads, run.settings), kPageEndMarker,
        pass.attemptTimeoutSeconds, pass.host, pass.limits, pass.wait);
    for (const QString& order : orders)
        queue.Add(order, TradeDetailAddress(run.endpoints, order));
    const auto stopped = [&] { return inWalk && run.progress.StopRequests() != stopsBefore; };
    QList<HistoryEntry> fetched;
    while (const auto done = queue.Next(stopped)) {
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
        run.historyWriteFailed = true;
    for (const QString& order : queue.CancelRest())
        run.details.RememberFailed(order);
    if (pass.host.IsUnreachable())
        qCWarning(lcExtract) << "trade host unreachable: the downloads of this pass were given up";
}

} // namespace

std::optional<RecipientBlock> FindRecipientBlock(QString pageText)
{
    StripBetween(pageText, QStringLiteral("<"), QStringLiteral(">"), QString());
    // Each cut must find its marker: a page without the section, or with a
    // label the marketplace renamed, has no block rather than its whole text
    // as one.
    for (const QString& marker : { QStringLiteral("收货和物流信息"), QStringLiteral("收货地址：") }) {
        const qsizetype at = pageText.indexOf(marker);
        if (at < 0)
            return std::nullopt;
        pageText.remove(0, at + marker.size());
    }
    const qsizetype end = pageText.indexOf(QStringLiteral("我对购买流程有意见或建议"));
    if (end < 0)
        return std::nullopt;
    pageText.truncate(end);
    pageText.remove(QStringLiteral("\r\n"));
    pageText.remove(QLatin1Char('\t'));
    CutAtMarker(pageText, QStringLiteral("查看物流信息"), false);

    // Each labelled line runs from its label to the next label, wherever
    // the labels stand; a missing one leaves its own value missing and
    // moves no other into its place.
    static const QString kLabels[] = { QStringLiteral("运送方式："), QStringLiteral("物流公司名称："),
        QStringLiteral("运单号：") };
    qsizetype labelAt[std::size(kLabels)];
    qsizetype firstLabel = pageText.size();
    for (size_t i = 0; i < std::size(kLabels); ++i) {
        labelAt[i] = pageText.indexOf(kLabels[i]);
        if (labelAt[i] >= 0)
            firstLabel = std::min(firstLabel, labelAt[i]);
    }
    const auto valueOf = [&](size_t label) -> std::optional<QString> {
        if (labelAt[label] < 0)
            return std::nullopt;
        const qsizetype from = labelAt[label] + kLabels[label].size();
        qsizetype to = pageText.size();
        for (const qsizetype other : labelAt)
            if (other >= from && other < to)
                to = other;
        return PlainBlanks(pageText.mid(from, to - from));
    };
    RecipientBlock block;
    block.addressLine = PlainBlanks(pageText.left(firstLabel));
    block.method = valueOf(0);
    block.company = valueOf(1);
    block.waybill = valueOf(2);
    return block;
}

DetailFindings WriteRecipientColumns(TradeGrid& grid, int row, const RecipientBlock& block, const QString& status)
{
    DetailFindings findings;
    const auto write = [&](int col, const QString& value) { SetCellIfInside(grid, row, col, value); };
    // Company and waybill, each by its own label; "—" stands for none.
    const QString company = block.company.value_or(QString()).remove(kDash);
    const QString waybill = block.waybill.value_or(QString()).remove(kDash);
    const bool companyFits = FitsShape(ColumnShape::Company, company);
    const bool waybillFits = FitsShape(ColumnShape::Waybill, waybill);
    write(ColCompany, companyFits ? company : QString());
    write(ColWaybill, waybillFits ? waybill : QString());
    findings.unreadable = !companyFits || !waybillFits;
    findings.shippedWithoutWaybill = waybillFits && waybill.isEmpty() && IsShippedStatus(status);

    const AddressReading address = ReadAddressLine(block.addressLine);
    const bool piecesRead = address.outcome != AddressReading::Outcome::Unreadable;
    const bool streetRead = address.outcome == AddressReading::Outcome::Read;
    write(ColRecipient, address.recipient);
    write(ColMobile, address.mobile);
    write(ColTelephone, address.telephone);
    write(ColProvince, address.province);
    write(ColCity, address.city);
    write(ColDistrict, address.district);
    write(ColAddress, address.address);
    write(ColPostcode, address.postcode);
    findings.unreadable = findings.unreadable || !piecesRead || !streetRead;
    findings.addressToCheck = address.divisionsToCheck;
    return findings;
}

void DownloadTradeDetails(RunContext& run, TradeGrid& grid, int newRowCount, bool showProgress,
    const QStringList& alsoFetch, DetailDownloadPass& pass)
{
    QStringList orders = NewTradeOrders(grid, newRowCount);
    for (const QString& order : alsoFetch)
        if (!orders.contains(order))
            orders.append(order);
    if (showProgress)
        StartProgress(run.progress, QStringLiteral("正在下载物流信息...."), newRowCount + int(alsoFetch.size()), 0);

    orders = TakeFromHistory(run, grid, orders, showProgress, pass);
    DownloadDetailsOf(run, grid, orders, showProgress, pass);
    CopyDetailsToContinuationRows(grid);

    if (showProgress)
        CloseProgress(run.progress);
}

DetailShortfall FinishDetailDownloads(RunContext& run, TradeGrid& grid, bool fetchAgain, DetailDownloadPass& pass)
{
    const QStringList failed = OrdersStillInGrid(grid, run.details.FailedOrders());
    for (const QString& order : QStringList(run.details.FailedOrders()))
        if (!failed.contains(order))
            run.details.ForgetFailed(order);
    if (fetchAgain && !failed.isEmpty()) {
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
    shortfall.withoutShippingData = std::move(named.withoutShippingData);
    shortfall.unreadable = std::move(named.unreadable);
    shortfall.addressToCheck = std::move(named.addressToCheck);
    shortfall.shippedWithoutWaybill = std::move(named.shippedWithoutWaybill);
    shortfall.pages = std::move(named.pages);
    shortfall.sawShippingSection = named.sawShippingSection;
    shortfall.KeepOrdersIn(grid);
    if (!failed.isEmpty())
        qCWarning(lcExtract) << failed.size() << "trades left without their details:" << failed;
    if (!shortfall.withoutShippingData.isEmpty())
        qCWarning(lcExtract) << shortfall.withoutShippingData.size()
                             << "trades without shipping data on their detail page:" << shortfall.withoutShippingData;
    return shortfall;
}

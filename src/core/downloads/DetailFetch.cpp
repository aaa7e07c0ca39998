#include "DetailFetch.h"

#include "DetailDownloadPass.h"
#include "core/base/Endpoints.h"
#include "core/base/Logging.h"
#include "core/downloads/DetailLedger.h"
#include "core/downloads/StoredDetails.h"
#include "core/downloads/StoredDetailsPolicy.h"
#include "core/downloads/TradeDetails.h"
#include "core/extract/DetailPage.h"
#include "core/extract/OrderNotes.h"
#include "core/grid/GridSetup.h"
#include "core/grid/GridSteps.h"
#include "core/grid/NoteRecord.h"
#include "core/grid/TradeGrid.h"
#include "core/network/LoginForm.h"
#include "core/network/PageFetchQueue.h"
#include "core/trade/ColumnTable.h"

#include <QTimer>

namespace {

const QString kPageEndMarker = QStringLiteral(">关于淘宝</");
const QString kOutageMessage = QStringLiteral("网络中断，正在重试…");
constexpr int kFirstDetailCol = kFirstDetailColumn;

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
    StoredDetails& history, TradeGrid& grid, const QStringList& orders, DetailFetch& fetch)
{
    QStringList toDownload;
    for (const QString& order : orders) {
        const int row = grid.FindOrderRow(order);
        // A read that failed (logged by the history) is a download, as a
        // trade never stored is.
        const StoredEntry found = row >= 0 ? history.Find(order) : StoredEntry::Ok(std::nullopt);
        const std::optional<HistoryEntry>& stored = found.value;
        if (!stored || !UseStoredDetails(stored->status, CellOrEmpty(grid, row, ColStatus))) {
            toDownload.append(order);
            continue;
        }
        for (int i = 0; i < kHistoryDetailColumns; ++i)
            SetCellIfInside(grid, row, kFirstDetailCol + i, stored->details.value(i));
        RefreshNoteRecord(grid, row, order);
        fetch.fromHistory.append(order);
    }
    return toDownload;
}

// The one place a detail answer is judged: a finished download goes into
// the row that holds its order number now, found again after the wait; a
// trade deleted meanwhile gets nothing. True when the page arrived whole
// with a block that passed every check: only such a row is what the
// history keeps.
bool JudgeDetailAnswer(TradeGrid& grid, const PageFetchQueue::Done& done, DetailFetch& fetch)
{
    const int row = grid.FindOrderRow(done.key);
    if (row < 0) {
        fetch.gone.append(done.key);
        return false;
    }
    // Columns are written only from a block the page really holds: without
    // one, the page's other text would land in the recipient columns.
    const std::optional<RecipientBlock> block = FindRecipientBlock(done.response);
    DetailFindings findings;
    if (block)
        findings = WriteRecipientColumns(grid, row, *block, CellOrEmpty(grid, row, ColStatus));
    if (done.status != FetchStatus::Arrived) {
        fetch.failed.append(done.key);
        if (done.timedOut)
            fetch.timedOut.append(done.key);
        // The login form a detail address answers with once the session ended.
        if (ShowsLoginForm(done.response))
            fetch.sawLoginPage = true;
        return false;
    }
    fetch.written.append(done.key);
    // The order information stands apart from the shipping block: a page
    // without the latter still has the buyer's message.
    WriteRowNotes(grid, row, NotesOfTrade(done.key, ReadOrderNotes(done.response)));
    // The page arrived whole but has nothing to ship to: fetching it again
    // would not help, so the trade is named instead (weighed at the end of
    // the command: virtual goods, a trade to ship, or a renamed section).
    if (!block) {
        qCWarning(lcExtract) << "detail page without a recipient block:" << done.key;
        fetch.findings.Add(
            TradeFinding(done.key, FindingKind::WithoutShippingSection, -1, {}, FindingSeverity::Note));
        return false;
    }
    fetch.sawShippingSection = true;
    for (const int col : findings.refusedColumns) {
        const bool logistics = col == ColCompany || col == ColWaybill;
        const QString seen = col == ColCompany ? block->company.value_or(QString())
            : col == ColWaybill                ? block->waybill.value_or(QString())
                                               : block->addressLine;
        qCWarning(lcExtract) << "detail block of" << done.key << "not read whole, column" << col << ":"
                             << (logistics
                                        ? seen
                                        : QStringLiteral("(address line, %1 characters)").arg(seen.size()));
        fetch.findings.Add(TradeFinding(done.key, FindingKind::FieldShape, col, seen));
    }
    if (findings.parcelsUnread) {
        qCWarning(lcExtract) << "parcels of" << done.key << "do not pair up:" << block->companies
                             << block->waybills;
        fetch.findings.Add(TradeFinding(done.key, FindingKind::ParcelsUnread, ColWaybill,
            QStringList(block->companies + block->waybills).join(QStringLiteral(" "))));
    }
    if (findings.addressToCheck) {
        qCWarning(lcExtract) << "address of" << done.key << "not in the division list";
        fetch.findings.Add(TradeFinding(done.key, FindingKind::AddressToCheck, ColCity,
            CellOrEmpty(grid, row, ColCity) + CellOrEmpty(grid, row, ColDistrict), FindingSeverity::ToCheck));
    }
    if (findings.maskedMobile)
        fetch.findings.Add(TradeFinding(done.key, FindingKind::MaskedMobile, ColMobile,
            CellOrEmpty(grid, row, ColMobile), FindingSeverity::Note));
    if (findings.shippedWithoutWaybill) {
        qCWarning(lcExtract) << "shipped trade without a waybill:" << done.key;
        fetch.findings.Add(TradeFinding(done.key, FindingKind::ShippedWithoutWaybill, ColWaybill));
    }
    return findings.IsClean();
}

// While failures without an answer are retried the pass tells why nothing
// moves, and while the downloads wait for the network, for how long; the
// normal message comes back with the next answer, or when the downloads
// end.
class OutageNotice {
public:
    OutageNotice(const HostReachability& host, const NetworkWait& wait, const DetailFetchReport& report)
        : host_(host)
        , wait_(wait)
        , report_(report)
    {
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
        if (!waiting && message == shown_)
            return;
        shown_ = message;
        DetailFetchNews news;
        news.notice = message;
        news.networkWait = waiting;
        report_(news);
    }

    const HostReachability& host_;
    const NetworkWait& wait_;
    const DetailFetchReport& report_;
    QObject context_;
    QTimer tick_;
    QString shown_; // empty: the normal message
};

void TellQueued(const DetailFetchReport& report)
{
    DetailFetchNews news;
    news.allQueued = true;
    if (report)
        report(news);
}

void TellFinished(const DetailFetchReport& report, int trades)
{
    DetailFetchNews news;
    news.finished = trades;
    if (report && trades > 0)
        report(news);
}

} // namespace

DetailFetch FetchDetails(const DetailFetchInputs& inputs, TradeGrid& grid, DetailDownloadPass& pass,
    const DetailFetchReport& report)
{
    DetailFetch fetch;
    QStringList orders = inputs.orders;
    if (inputs.useHistory && inputs.history && inputs.history->IsOpen()) {
        orders = TakeFromHistory(*inputs.history, grid, orders, fetch);
        TellFinished(report, int(fetch.fromHistory.size()));
    }
    // After an ended session every request gets the login page.
    if (pass.sessionEnded) {
        fetch.failed = orders;
        TellQueued(report);
        return fetch;
    }

    std::optional<OutageNotice> notice;
    if (inputs.tellOutage && report)
        notice.emplace(pass.host, pass.wait, report);
    // A detail page is read whole: the general trim at its last "<BR>" would
    // cut off a shipping section that comes before one.
    FetchRules rules = pass.limits;
    rules.wholePage = true;
    PageFetchQueue queue(inputs.fetcher, inputs.downloadsAtOnce, kPageEndMarker, pass.attemptTimeoutSeconds,
        pass.host, rules, pass.wait);
    for (const QString& order : orders)
        queue.Add(order, TradeDetailAddress(inputs.endpoints, order));
    TellQueued(report);
    const auto stopped = [&] { return inputs.stop && inputs.stop(); };
    QList<HistoryEntry> fetched;
    while (const auto done = queue.Next(stopped)) {
        // Every later request would get the login page too; those already
        // sent may still bring their pages.
        if (done->loginPage && !fetch.sessionEnded) {
            fetch.sessionEnded = true;
            fetch.failed += queue.DropWaiting();
        }
        if (JudgeDetailAnswer(grid, *done, fetch))
            fetched.append(EntryOfRow(grid, grid.FindOrderRow(done->key), done->key));
        TellFinished(report, 1);
    }
    // One transaction for the pass, after its downloads: the history never
    // holds a walk up longer than that write. A page the history did not
    // take is logged by the history and told after the command; the grid
    // has it either way.
    if (inputs.history && !fetched.isEmpty() && inputs.history->StorePage(fetched) != HistoryWrite::Stored)
        fetch.historyWriteFailed = true;
    fetch.failed += queue.CancelRest();
    if (pass.host.IsUnreachable())
        qCWarning(lcExtract) << "trade host unreachable: the downloads of this pass were given up";
    return fetch;
}

void ApplyDetailFetch(DetailLedger& ledger, const DetailFetch& fetch)
{
    for (const QStringList* settled : { &fetch.written, &fetch.fromHistory, &fetch.gone })
        for (const QString& order : *settled)
            ledger.ForgetFailed(order);
    for (const QString& order : fetch.failed)
        ledger.RememberFailed(order, fetch.timedOut.contains(order));
    for (const Finding& finding : fetch.findings.All())
        ledger.Add(finding);
    if (fetch.sawShippingSection)
        ledger.RememberShippingSection();
    if (fetch.sawLoginPage)
        ledger.RememberLoginPage();
}

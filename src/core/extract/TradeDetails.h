#pragma once
// The trade detail download: each new trade's detail page, reduced to its
// recipient and logistics block, written into columns 13-22 of the row
// that holds the trade's order number.

#include "core/context/DetailLedger.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class RunContext;
struct DetailDownloadPass;
class TradeGrid;

// Fetches the detail page of each of the last newRowCount rows (started
// bottom-up, continuation rows skipped, several at a time as the
// "DetailDownloads" setting allows) and of the trades in alsoFetch, writes
// columns 13-22 of the row holding each order number once its page is in,
// then copies them into every continuation row of the grid. A trade whose
// page never arrived is remembered as failed in the run's DetailLedger: one
// whose attempt ran into the time-out at once, and every one left once the
// pass finds the trade host unreachable. The pass's host state carries over
// to the command's next pages and its end. allSent, when given, runs once
// every download has been sent to the server, or when there is none left
// (PageFetchQueue::WhenAllSent), unless the user stopped the downloads. A
// page answered by the login page ends the session for the pass
// (pass.sessionEnded): the downloads under way finish, no other starts.
void DownloadTradeDetails(RunContext& run, TradeGrid& grid, int newRowCount, bool showProgress,
    const QStringList& alsoFetch, DetailDownloadPass& pass, const std::function<void()>& allSent = {});

// What the progress window says while a command waits for the network,
// with how long it has waited.
QString NetworkWaitMessage(qint64 waitedSeconds);

// The end of an extraction command: the remembered failed trades still in
// the grid are fetched once more when fetchAgain. Returns the trades that
// still failed and those whose page had no shipping data, for the caller to
// tell once its progress window has closed. Trades no longer in the grid are
// forgotten. When the pass found the host unreachable, one trade is tried
// first, and the others are tried only if it answers. A pass whose session
// has ended fetches nothing again.
[[nodiscard]] DetailShortfall FinishDetailDownloads(
    RunContext& run, TradeGrid& grid, bool fetchAgain, DetailDownloadPass& pass);

// The "收货和物流信息" block of a detail page: the address line (the text
// after "收货地址：" up to the first of the other labels) and each labelled
// line, from its label to the next, blanks made plain. None when the page
// lacks the section, its "收货地址：" label or the "我对购买流程有意见或建议"
// line below it; a missing label leaves its own value missing.
// A page of several parcels (several "运单号：" lines, or a "包裹2"
// heading) gives every company and waybill line in the page's order;
// company and waybill are then those lines "、"-joined.
struct RecipientBlock {
    QString addressLine;
    std::optional<QString> method; // 运送方式：
    std::optional<QString> company; // 物流公司名称：
    std::optional<QString> waybill; // 运单号：
    QStringList companies;
    QStringList waybills;
    int parcels = 1; // the parcels the page shows
};
std::optional<RecipientBlock> FindRecipientBlock(QString pageText);

// What the checks found while a block was written.
struct DetailFindings {
    bool unreadable = false; // a value failed its column's shape and was left out
    bool addressToCheck = false; // a city or district not where the division list has it
    bool shippedWithoutWaybill = false; // the status says shipped, the block has no waybill
    bool parcelsUnread = false; // several parcels whose lines do not pair up: none written
    bool maskedMobile = false; // the mobile is shown masked: written as shown, a note only
    QList<int> refusedColumns; // the columns left empty because their value failed

    bool IsClean() const
    {
        return !unreadable && !addressToCheck && !shippedWithoutWaybill && !parcelsUnread;
    }
};

// Writes the block's values into the detail columns of row: every column
// whose value passed its checks, the others empty. status is the trade's
// status in the list.
DetailFindings WriteRecipientColumns(TradeGrid& grid, int row, const RecipientBlock& block, const QString& status);

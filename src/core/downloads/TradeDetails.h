#pragma once
// The trade detail download: each new trade's detail page, reduced to its
// recipient and logistics block, written into columns 13-22 of the row
// that holds the trade's order number.

#include "core/downloads/DetailLedger.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class WalkContext;
struct DetailDownloadPass;
class TradeGrid;

// The page step of the detail pass: fetches the detail page of each of the
// last newRowCount rows (started bottom-up, continuation rows skipped,
// several at a time as the "DetailDownloads" setting allows) and of the
// trades in alsoFetch (FetchDetails, DetailFetch.h), then copies the
// columns into every continuation row of the grid. It opens and closes the
// progress window once (when showProgress) and tells the run's
// DetailLedger what the pass came to once: a trade whose page never arrived
// is remembered as failed (one whose attempt ran into the time-out at once,
// and every one left once the pass finds the trade host unreachable). The
// pass's host state carries over to the command's next pages and its end.
// queued, when given, runs once every trade of the page is known and its
// download queued, before the first page has come. A page answered by the
// login page ends the session for the pass (pass.sessionEnded): the
// downloads under way finish, no other starts.
void DownloadTradeDetails(WalkContext& run, TradeGrid& grid, int newRowCount, bool showProgress,
    const QStringList& alsoFetch, DetailDownloadPass& pass, const std::function<void()>& queued = {});

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
    WalkContext& run, TradeGrid& grid, bool fetchAgain, DetailDownloadPass& pass);

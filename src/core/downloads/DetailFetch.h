#pragma once
// One detail pass over a list of trades: the stored columns the history
// gives, then the detail pages downloaded several at a time, each written
// into the row that holds its order number as it arrives. The pass neither
// steps a progress window nor tells the run's ledger: it reports while it
// runs through one callback and returns what came of every trade in one
// value, which the caller applies once (ApplyDetailFetch).

#include "core/trade/Finding.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class DetailLedger;
struct DetailDownloadPass;
struct Endpoints;
class PageFetcher;
class StoredDetails;
class TradeGrid;

// What a pass works with; none of the references is kept after it.
struct DetailFetchInputs {
    PageFetcher& fetcher;
    const Endpoints& endpoints;
    // How many pages download at once.
    int downloadsAtOnce = 1;
    // Where stored columns are looked up and downloaded ones kept; none:
    // every trade is downloaded and nothing is kept.
    StoredDetails* history = nullptr;
    // Look the trades up in the history before downloading them.
    bool useHistory = true;
    // The trades, in the order their downloads start.
    QStringList orders;
    // The user's stop: nothing still downloading writes afterwards.
    std::function<bool()> stop;
    // Whether the outage notices are worked out (and the wait logged).
    bool tellOutage = false;
};

// What a pass tells while it runs.
struct DetailFetchNews {
    // Every trade of the pass is known and its download queued; told once,
    // before the first page has come.
    bool allQueued = false;
    // Trades done (written, failed or from the history) since the last news.
    int finished = 0;
    // What the progress window is to say about the network, when that
    // changed: empty for its own message again.
    std::optional<QString> notice;
    // The notice is the count of the wait for the network.
    bool networkWait = false;
};
using DetailFetchReport = std::function<void(const DetailFetchNews&)>;

// What came of a pass's trades; each trade is in at most one of written,
// failed, fromHistory and gone.
struct [[nodiscard]] DetailFetch {
    QStringList written; // the page arrived whole and its columns were written (or the trade named)
    QStringList failed; // the page never arrived, in the order they failed
    QStringList timedOut; // those of failed whose download ran out of time
    QStringList fromHistory; // the history's columns stood in for the page
    QStringList gone; // no longer in the grid when their page came
    FindingList findings; // what the checks of the written pages found
    bool sawShippingSection = false; // some page that arrived had its shipping section
    bool sawLoginPage = false; // some page that failed was the login form
    bool sessionEnded = false; // a page was answered by the login page: no other was sent
    bool historyWriteFailed = false; // the history did not take the pass's pages (logged)
};

// Runs one pass. pass gives the host's state, the time limits and the
// network wait, which carry over to the command's next passes; the pass
// does not change its other fields. A pass whose session has already
// ended (pass.sessionEnded) downloads nothing: its trades fail.
DetailFetch FetchDetails(const DetailFetchInputs& inputs, TradeGrid& grid, DetailDownloadPass& pass,
    const DetailFetchReport& report);

// Tells the ledger what a pass came to: failed trades are remembered,
// the others forgotten, the findings kept until the command takes them.
void ApplyDetailFetch(DetailLedger& ledger, const DetailFetch& fetch);

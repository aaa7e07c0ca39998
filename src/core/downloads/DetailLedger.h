#pragma once
// The run's trades left without their details. A trade whose detail page
// could not be downloaded keeps what the failed download left (no
// recipient, as often as not), so it is remembered apart from trades that
// simply have no address: the end of the command fetches it once more, the
// user is told which still failed, and a later extraction of a page that
// lists one fetches it again. A trade whose page arrived whole but holds no
// recipient block (a virtual-goods trade, a page the marketplace changed)
// is not fetched again; it is only named at the end of the command.

#include "core/trade/Finding.h"

#include <QString>
#include <QStringList>

class TradeGrid;

class DetailLedger {
public:
    // timedOut: the host answered, but the page did not come in time.
    void RememberFailed(const QString& orderNumber, bool timedOut = false);
    void ForgetFailed(const QString& orderNumber);
    // Those of orderNumbers whose last failure was a time-out.
    QStringList TimedOutAmong(const QStringList& orderNumbers) const;
    // In the order they first failed.
    const QStringList& FailedOrders() const { return failed_; }
    // The failed trades whose order number stands in text (a list page) as
    // a whole number, not as part of a longer one.
    QStringList FailedListedIn(const QString& text) const;

    // What a check found; kept until the command takes them.
    void Add(const Finding& finding) { findings_.Add(finding); }
    // What the checks found since the last TakeNamed.
    const FindingList& PendingFindings() const { return findings_; }
    // A detail page downloaded by this command had its shipping section
    // (a page the history stood in for does not count).
    void RememberShippingSection() { sawShippingSection_ = true; }
    // A detail download came back as the login page: the session ended.
    void RememberLoginPage() { sawLoginPage_ = true; }

    // Everything found since the last call, for the end of a command;
    // failed trades stay remembered.
    struct Named {
        FindingList findings;
        bool sawShippingSection = false;
        bool sawLoginPage = false;
    };
    Named TakeNamed();

private:
    QStringList failed_;
    QStringList timedOut_;
    FindingList findings_;
    bool sawShippingSection_ = false;
    bool sawLoginPage_ = false;
};

// What one command left without details, and what its checks found.
struct DetailShortfall {
    QStringList failed; // the page never arrived
    QStringList timedOut; // those of failed whose download ran out of time
    FindingList findings; // every check's verdict, trades without a row included
    // Some detail page downloaded by the command had its shipping section:
    // without one, shipped trades without it may be a renamed section.
    bool sawShippingSection = false;
    // A download came back as the login page: the details failed because
    // the session ended, not because of the network.
    bool sessionExpired = false;

    // The trades named for any reason, each once.
    int NamedTrades() const;
    // Failed trades still in the grid (those the user deleted are no longer
    // the user's concern).
    void KeepOrdersIn(const TradeGrid& grid);
};

// One message for the user naming how many trades and the first few order
// numbers (at most namedAtMost of them); empty for none.
inline constexpr int kOrdersNamedInMessage = 5;
QString FailedDetailsMessage(const QStringList& orderNumbers, int namedAtMost = kOrdersNamedInMessage);
QString TimedOutDetailsMessage(const QStringList& orderNumbers, int namedAtMost = kOrdersNamedInMessage);

// Weighs the trades whose detail page had no shipping section, once the
// command's pages are in: a trade still waiting to ship without a recipient
// is refused; shipped trades are a renamed section (to check) when not one
// page downloaded by the command had the section and the shop's pages had it
// before (shopHadSection); otherwise virtual goods, a note.
void WeighMissingSections(DetailShortfall& shortfall, const TradeGrid& grid, bool shopHadSection);

// Every message of the shortfall, in one text: the findings summed up by
// kind (the window's pane lists them one by one) and the failed downloads.
QString DetailShortfallMessage(const DetailShortfall& shortfall, int namedAtMost = kOrdersNamedInMessage);

#pragma once
// The run's trades left without their details. A trade whose detail page
// could not be downloaded keeps what the failed download left (no
// recipient, as often as not), so it is remembered apart from trades that
// simply have no address: the end of the command fetches it once more, the
// user is told which still failed, and a later extraction of a page that
// lists one fetches it again. A trade whose page arrived whole but holds no
// recipient block (a virtual-goods trade, a page the marketplace changed)
// is not fetched again; it is only named at the end of the command.

#include <QString>
#include <QStringList>

class TradeGrid;

// Why a check named a trade.
enum class TradeFinding {
    Unreadable, // a field failed its shape or could not be told apart: left empty
    AddressToCheck, // a city or district the division list does not place there
    ShippedWithoutWaybill, // shipped, but the detail page gives no waybill
};

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

    void RememberWithoutShippingData(const QString& orderNumber);

    // A trade a check named; each trade once per finding.
    void NameTrade(const QString& orderNumber, TradeFinding finding);
    // A list page that did not read as it lists ("第 2 页的格式可能已变化…").
    void NamePage(const QString& note);
    // A detail page whose shipping section was there.
    void RememberShippingSection() { sawShippingSection_ = true; }

    // Everything named since the last call, for the shortfall of a command;
    // failed trades stay remembered.
    struct Named {
        QStringList withoutShippingData;
        QStringList unreadable;
        QStringList addressToCheck;
        QStringList shippedWithoutWaybill;
        QStringList pages;
        bool sawShippingSection = false;
    };
    Named TakeNamed();

private:
    QStringList failed_;
    QStringList timedOut_;
    Named named_;
    bool sawShippingSection_ = false;
};

// What one command left without details, and what its checks named.
struct DetailShortfall {
    QStringList failed; // the page never arrived
    QStringList timedOut; // those of failed whose download ran out of time
    QStringList withoutShippingData; // the page has no recipient block
    QStringList unreadable; // fields that failed their checks were left empty
    QStringList addressToCheck; // written, but the division list places it elsewhere
    QStringList shippedWithoutWaybill;
    QStringList pages; // list pages that did not read as they list
    // Some detail page of the command had its shipping section: without
    // one, trades "without shipping data" may be a renamed section instead.
    bool sawShippingSection = false;

    // The trades named for any reason, each once.
    int NamedTrades() const;
    bool IsEmpty() const { return failed.isEmpty() && withoutShippingData.isEmpty() && !PagesDiffer(); }
    int Count() const { return int(failed.size() + withoutShippingData.size()); }
    // The pages differ from what the tool reads: fields were left empty or
    // are to be checked, or a page did not read whole.
    bool PagesDiffer() const
    {
        return !unreadable.isEmpty() || !addressToCheck.isEmpty() || !shippedWithoutWaybill.isEmpty()
            || !pages.isEmpty();
    }
    // Trades of the shortfall still in the grid (those the closed-trade
    // filter removed are no longer the user's concern).
    void KeepOrdersIn(const TradeGrid& grid);
};

// One message for the user naming how many trades and the first few order
// numbers (at most namedAtMost of them); empty for none.
inline constexpr int kOrdersNamedInMessage = 5;
QString FailedDetailsMessage(const QStringList& orderNumbers, int namedAtMost = kOrdersNamedInMessage);
QString WithoutShippingDataMessage(const QStringList& orderNumbers, int namedAtMost = kOrdersNamedInMessage);
QString TimedOutDetailsMessage(const QStringList& orderNumbers, int namedAtMost = kOrdersNamedInMessage);
// Whether the trades without shipping data point at a renamed section rather
// than at virtual goods: some of them say they have shipped, and not one
// detail page of the command had the section.
bool ShippingSectionMissing(const DetailShortfall& shortfall, const TradeGrid& grid);

// Every message of the shortfall, in one text.
QString DetailShortfallMessage(const DetailShortfall& shortfall, int namedAtMost = kOrdersNamedInMessage);

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
    // The trades remembered since the last call, in the order they came.
    QStringList TakeWithoutShippingData();

private:
    QStringList failed_;
    QStringList timedOut_;
    QStringList withoutShippingData_;
};

// What one command left without details.
struct DetailShortfall {
    QStringList failed; // the page never arrived
    QStringList timedOut; // those of failed whose download ran out of time
    QStringList withoutShippingData; // the page has no recipient block

    bool IsEmpty() const { return failed.isEmpty() && withoutShippingData.isEmpty(); }
    int Count() const { return int(failed.size() + withoutShippingData.size()); }
};

// One message for the user naming how many trades and the first few order
// numbers; empty for none.
QString FailedDetailsMessage(const QStringList& orderNumbers);
QString WithoutShippingDataMessage(const QStringList& orderNumbers);
QString TimedOutDetailsMessage(const QStringList& orderNumbers);
// The messages in one text, each only when it has trades.
QString DetailShortfallMessage(const DetailShortfall& shortfall);
inline constexpr int kOrdersNamedInMessage = 5;

#pragma once
// Trades left without their details. Those whose detail page could not be
// downloaded Their row keeps what
// the failed download left (no recipient, as often as not), so they are
// remembered apart from trades that simply have no address: the end of the
// command fetches them once more, the user is told which still failed, and
// a later extraction of a page that lists one fetches it again.

#include <QString>
#include <QStringList>

// Trades whose page arrived whole but holds no recipient block (a
// virtual-goods trade, a page the marketplace changed) are not fetched
// again; they are only named at the end of the command.

void RememberFailedDetail(const QString& orderNumber);
void ForgetFailedDetail(const QString& orderNumber);
// Forgets the failed trades and those without shipping data.
void ForgetAllFailedDetails();
// In the order they first failed.
QStringList FailedDetailOrders();

// The remembered trades whose order number stands in text (a list page)
// as a whole number, not as part of a longer one.
QStringList FailedDetailsListedIn(const QString& text);

void RememberWithoutShippingData(const QString& orderNumber);
// The trades remembered since the last call, in the order they came.
QStringList TakeWithoutShippingData();

// What one command left without details.
struct DetailShortfall {
    QStringList failed; // the page never arrived
    QStringList withoutShippingData; // the page has no recipient block

    bool IsEmpty() const { return failed.isEmpty() && withoutShippingData.isEmpty(); }
    int Count() const { return int(failed.size() + withoutShippingData.size()); }
};

// One message for the user naming how many trades and the first few order
// numbers; empty for none.
QString FailedDetailsMessage(const QStringList& orderNumbers);
QString WithoutShippingDataMessage(const QStringList& orderNumbers);
// Both messages in one text, each only when it has trades.
QString DetailShortfallMessage(const DetailShortfall& shortfall);
inline constexpr int kOrdersNamedInMessage = 5;

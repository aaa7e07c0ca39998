#pragma once
// Trades whose detail page could not be downloaded. Their row keeps what
// the failed download left (no recipient, as often as not), so they are
// remembered apart from trades that simply have no address: the end of the
// command fetches them once more, the user is told which still failed, and
// a later extraction of a page that lists one fetches it again.

#include <QString>
#include <QStringList>

void RememberFailedDetail(const QString& orderNumber);
void ForgetFailedDetail(const QString& orderNumber);
void ForgetAllFailedDetails();
// In the order they first failed.
QStringList FailedDetailOrders();

// The remembered trades whose order number stands in text (a list page)
// as a whole number, not as part of a longer one.
QStringList FailedDetailsListedIn(const QString& text);

// One message for the user naming how many trades and the first few order
// numbers; empty for none.
QString FailedDetailsMessage(const QStringList& orderNumbers);
inline constexpr int kOrdersNamedInMessage = 5;

#pragma once
// Addresses of the marketplace and of the maker's download page. Built-in
// defaults point at the real services; command-line options replace them
// for the demo marketplace and for tests.

#include <QString>

class QUrl;

struct Endpoints {
    // The login page with its redirectURL to the seller back office.
    QString startUrl;
    // Scheme and host of the trade detail pages, e.g. "https://trade.taobao.com".
    QString tradeBase;
    // The download-page address up to and including "ID=".
    QString updateUrl;
    // The seller's sold-items list, opened directly by an unattended export.
    QString soldItemsUrl;
};

Endpoints DefaultEndpoints();

// Whether a page at url is the marketplace's login page (where an address
// that needs a session ends when there is none): a path ending in
// "/login.jhtml", or a host whose name starts with "login.".
bool IsLoginAddress(const QUrl& url);

// tradeBase + "/trade/detail/trade_item_detail.htm?bizOrderId=" + the
// order number, percent-encoded.
QString TradeDetailAddress(const Endpoints& endpoints, const QString& orderNumber);

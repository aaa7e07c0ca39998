#pragma once
// One list page of an extraction command: the page the browser shows read
// into the grid (ListParser.h), checked against what else the page says,
// its new trades' details fetched in the command's pass, and, in a walk,
// "下一页" clicked while its details download.

#include "core/trade/Finding.h"

#include <QStringList>

class BrowserPage;
class WalkContext;
struct DetailDownloadPass;
class TradeGrid;

// Told when a page leaves the grid without a trade: the window shows the
// list below its buttons.
inline const char* const kNoTradesMessage = "没有提取到交易记录，请在下面网页点开淘宝店铺“已卖出的宝贝”页面！";

// How reading one list page went: whether "下一页" was found and clicked
// (extract-all mode only), and what the user is to be told, in order (a
// single page's trades left without details, a grid still empty).
struct [[nodiscard]] PageExtraction {
    bool nextClicked = false;
    bool saysEmpty = false; // the list says it has no trade ("没有符合条件的宝贝")
    QStringList messages;
    int tradesNamed = 0; // a single page's trades left without details or named
    FindingList findings; // a single page's findings (a walk's come with its end)
};

// Parses the sold-items list the browser shows into the grid, then fetches
// the new trades' details in the command's pass. In extract-all mode it
// also clicks "下一页"; a single page ends its details' pass itself.
PageExtraction ExtractTradePage(
    WalkContext& run, BrowserPage& browser, TradeGrid& grid, bool extractAll, DetailDownloadPass& pass);

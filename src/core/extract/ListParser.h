#pragma once
#include "core/trade/Finding.h"

#include <QStringList>
#include <QStringView>

class BrowserPage;
class WalkContext;
struct DetailDownloadPass;
class TradeGrid;

// The id of the sold-items list table on a list page.
inline const char* const kListTableId = "J_ListTable";

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

// Whether the shown page holds the sold-items list table (a list page, as
// opposed to an error or login page).
bool ShowsTradeList(BrowserPage& browser);
// Whether the browser shows the marketplace's login page: the session ended.
bool ShowsLoginPage(BrowserPage& browser);

// How one list page read: the trades it lists (by their "订单编号：" label),
// those whose header was read (new ones and those the grid already held),
// the table's rows of more than one cell, the table bodies that hold such a
// row (each trade has one: a mark apart from the label), and what the checks
// found (trades refused, statuses to check).
struct ListPageReading {
    int listed = 0;
    int read = 0;
    int rowsOfCells = 0;
    int bodiesWithCells = 0;
    QList<Finding> findings;
};

// The parse at the heart of ExtractTradePage: appends the list table's new
// trades to the grid, one row per item, skipping order numbers the grid
// already holds. Each field is found by its label or its cell and checked
// against its column's shape; a trade with a field that fails is named,
// and the row that held the field is not written.
ListPageReading ParseListTable(TradeGrid& grid, QStringView table);

// What a list page shows apart from the rows the parser reads, counted
// from marks the parser does not read by: the order numbers (runs of 12 or
// more digits after an order-number label) in the page's scripts, as pages
// built in the browser carry their rows (`window.__DATA__ = {...}`), and
// whether the page says the list is empty.
struct ListPageMarks {
    QStringList scriptOrders; // distinct order numbers in the page's scripts, in order
    bool saysEmpty = false;
};
ListPageMarks CountListPageMarks(QStringView bodyHtml);

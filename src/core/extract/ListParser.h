#pragma once
#include <QStringList>
#include <QStringView>

class BrowserPage;
class RunContext;
struct DetailDownloadPass;
class TradeGrid;

// Parses the sold-items list the browser shows into the grid, then fetches
// the new trades' details. In extract-all mode it also clicks "下一页";
// true only when that link was found and clicked.
bool ExtractTradePage(RunContext& run, BrowserPage& browser, TradeGrid& grid, bool extractAll);
// The same with the details downloaded in the caller's pass (a page walk's).
bool ExtractTradePage(
    RunContext& run, BrowserPage& browser, TradeGrid& grid, bool extractAll, DetailDownloadPass& pass);

// Whether the shown page holds the sold-items list table (a list page, as
// opposed to an error or login page).
bool ShowsTradeList(BrowserPage& browser);
// Whether the browser shows the marketplace's login page: the session ended.
bool ShowsLoginPage(BrowserPage& browser);

// How one list page read: the trades it lists (by their "订单编号：" label),
// those whose header was read (new ones and those the grid already held),
// the table's rows of more than one cell, and the trades named because a
// value failed its check.
struct ListPageReading {
    int listed = 0;
    int read = 0;
    int rowsOfCells = 0;
    QStringList unreadable;
};

// The parse at the heart of ExtractTradePage: appends the list table's new
// trades to the grid, one row per item, skipping order numbers the grid
// already holds. Each field is found by its label or its cell and checked
// against its column's shape; a trade with a field that fails is named,
// and the row that held the field is not written.
ListPageReading ParseListTable(TradeGrid& grid, QStringView table);

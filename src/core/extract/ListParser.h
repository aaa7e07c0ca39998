#pragma once
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

// The parse at the heart of ExtractTradePage: appends the list table's new
// trades to the grid, one row per item, skipping order numbers the grid
// already holds.
void ParseListTable(TradeGrid& grid, QStringView table);

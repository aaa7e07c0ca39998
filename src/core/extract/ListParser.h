#pragma once
class BrowserPage;
class TradeGrid;

// Parses the sold-items list the browser shows into the grid, then fetches
// the new trades' details. In extract-all mode it also clicks "下一页";
// true only when that link was found and clicked.
bool ExtractTradePage(BrowserPage& browser, TradeGrid& grid, bool extractAll);

// Whether the shown page holds the sold-items list table (a list page, as
// opposed to an error or login page).
bool ShowsTradeList(BrowserPage& browser);

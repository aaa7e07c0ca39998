#pragma once
// The sold-items list page read: its table parsed into the grid, one row
// per item, and the marks the page shows apart from its rows.

#include "core/trade/Finding.h"

#include <QStringList>
#include <QStringView>

class BrowserPage;
class TradeGrid;

// The id of the sold-items list table on a list page.
inline const char* const kListTableId = "J_ListTable";

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

// What a list page shows apart from the rows the parser reads: the order
// numbers in the page's scripts (runs of 12 or more digits after "订单",
// "order" or "tid": numbers under another key count for nothing), as pages
// built in the browser carry their rows (`window.__DATA__ = {...}`), and
// whether the list table or its empty-state element (a class or id with
// "empty") says the list is empty; scripts and styles say nothing.
struct ListPageMarks {
    QStringList scriptOrders; // distinct order numbers in the page's scripts, in order
    bool saysEmpty = false;
};
ListPageMarks CountListPageMarks(QStringView bodyHtml);

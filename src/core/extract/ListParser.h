#pragma once
// The sold-items list page's table parsed into the grid, one row per item.
// What the page shows apart from its rows, and which page the browser
// shows, are in ListPageMarks.h.

#include "core/trade/Finding.h"

#include <QStringList>
#include <QStringView>

class TradeGrid;

// The id of the sold-items list table on a list page.
inline const char* const kListTableId = "J_ListTable";

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

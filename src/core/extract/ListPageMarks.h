#pragma once
// What a sold-items list page shows apart from the rows the parser reads,
// for the page's cross-checks, and which page the browser shows (the list,
// or the login page of a session that ended).

#include <QStringList>
#include <QStringView>

class BrowserPage;

// Whether the shown page holds the sold-items list table (a list page, as
// opposed to an error or login page).
bool ShowsTradeList(BrowserPage& browser);
// Whether the browser shows the marketplace's login page: the session ended.
bool ShowsLoginPage(BrowserPage& browser);

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

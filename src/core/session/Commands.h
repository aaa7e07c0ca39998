#pragma once
// The work behind the main window's commands, apart from the window so it
// can run and be tested without one.

#include "core/downloads/DetailLedger.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TotalText.h"
#include "core/network/PageFetchQueue.h"

#include <QString>
#include <functional>

class BrowserPage;
class PageLoadWatch;
class Progress;
class RunContext;
class TradeGrid;
class UserPrompt;
struct DetailDownloadPass;

inline const char* const kRemovingClosedMessage = "正在查找并清除关闭的交易...";
inline const char* const kExtractingMessage = "正在提取交易信息...";
inline const char* const kClearUnexportedQuestion = "表格中有 %1 行尚未导出，确定清空？";
inline const char* const kExportSheetName = "Quorvel软件-淘宝发货信息表";
inline constexpr int kExtractAllProgressTotal = 500;
inline constexpr int kExtractAllMaxPasses = 501;
inline constexpr int kNextPageTimeoutMs = 30000;

// The seller's nick from the page body: the text of the element whose
// markup carries the last "user-nick", trimmed; empty when there is none.
QString ShopNickFromBody(QString bodyHtml);

// Command 2: every data row goes, the fixed rows stay. Rows not exported
// since they changed go only when the user says so ("表格中有 N 行尚未导出，
// 确定清空？", No by default). Returns whether the grid was cleared.
[[nodiscard]] bool ClearTradeGrid(UserPrompt& prompt, TradeGrid& grid);
// Command 3: the rows of the grid's current selection. The selection then
// covers no data row: the rows that move up into its place were not picked.
void DeleteSelectedRows(TradeGrid& grid);
// Command 4: every row whose status is exactly "交易关闭", with progress
// counting every data row. Returns the number of rows removed.
[[nodiscard]] int RemoveClosedTrades(Progress& progress, TradeGrid& grid);

// Why a page walk ended.
enum class WalkEnd {
    LastPage, // no next page to click
    StoppedByUser, // the user closed the progress window or the program
    PageNotOpened, // a page the walk opened shows no trade list
    PageLimit, // kExtractAllMaxPasses pages read
    MarketUnreachable, // the trade host gave no answer for a while (HostReachability)
    SessionExpired, // a page the walk opened is the login page
    PageUnreadable, // not one trade of a list page could be read
};

struct [[nodiscard]] WalkResult {
    WalkEnd end = WalkEnd::LastPage;
    int passes = 0; // pages read
    int trades = 0; // trades the walk added to the grid
    DetailShortfall details {}; // trades still in the grid without their details
    int fromHistory = 0; // trades whose details the history gave (none without one)
    bool historyUsed = false; // the run keeps a trade history
    bool listSaidEmpty = false; // a list page said the list holds no trade
    QStringList pageMessages {}; // what reading the pages has to tell, in order
};

// The page walk of "提取所有交易": at most 501 passes of extractPage (true
// when it moved on to a next page), a one-second pause, a stop when the
// user asked for one (Progress::RequestStop), a progress step, then a bounded
// wait for the next page to finish loading. When a pass finds no next page
// on a page the walk opened, shownPageIsList tells a last page from one that
// did not open (an error page, a login page). A pass after which
// marketUnreachable holds ends the walk.
// A next page that fails to load for the network is loaded again every
// listWait.probeEveryMs while listWait allows (as long as the detail
// downloads wait for the network), the progress window saying so; a stop
// meanwhile ends the walk as the host's absence does.
WalkResult WalkAllPages(Progress& progress, const std::function<bool()>& extractPage,
    const std::function<bool()>& shownPageIsList, PageLoadWatch& nextPage,
    int nextPageTimeoutMs = kNextPageTimeoutMs, const std::function<bool()>& marketUnreachable = {},
    const NetworkWait& listWait = {});
// The same over the browser's list pages, counting the trades it added.
// When the shown page states its place in the list ("第 2 页 / 共 4 页"),
// the progress total becomes the pages left to read; otherwise it stays as
// the caller started it. pageRead, when given, runs after each page has
// been read, with its number counted from 1. The details of all pages and
// of the failed trades at the end are the command's one pass: once it finds
// the trade host unreachable, the walk ends.
WalkResult ExtractAllPages(RunContext& run, BrowserPage& browser, TradeGrid& grid, PageLoadWatch& nextPage,
    DetailDownloadPass& detailPass, int nextPageTimeoutMs = kNextPageTimeoutMs,
    const std::function<void(int page)>& pageRead = {});

// What the user is told when a walk ended early for a reason of its own
// ("第3页无法打开，已提取40笔交易。"); empty after the last page or the
// user's stop.
QString WalkEndMessage(const WalkResult& walk);
// "已提取 N 笔交易（M 笔详情来自历史记录）": how many trades came from the
// history; empty when none did.
QString HistoryShareText(const WalkResult& walk);
// Everything the user is told once the walk's progress window has closed:
// why it ended early, how many trades the history gave, and the trades left
// without details. Empty for none.
QString WalkReportMessage(const WalkResult& walk);

// Trades in the grid from firstRow on: rows with an order number that are
// not a trade's further item.
int CountTrades(const TradeGrid& grid, int firstRow = 0);

#pragma once
// The commands of one run as one object, and the run from its start to its
// end: the grid's set-up, the offer of the grid a crashed run left, the
// update check once the first page is there, the close check, the last
// checkpoint and the end of the recovery. It owns the trade grid and runs
// one command at a time on it: each command's whole sequence (an extraction
// reads the seller's nick, the pages and their details, fits the columns and
// drops closed trades when asked), the detail pass the command's pages
// share, and the crash checkpoint once the outermost command has ended.
// Questions go to the run's prompt as the command runs; what the user is to
// be told comes back in the outcome, for the window to show or the
// unattended export to report. Nothing here shows anything itself.

#include "FirstPageUpdateCheck.h"
#include "core/print/ShippingDocuments.h"
#include "core/export/ExportResult.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/recovery/GridRecovery.h"
#include "core/session/CommandGuard.h"
#include "core/session/Commands.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class BrowserPage;
class PageLoadWatch;
class RunContext;
class SaveDialog;
class Settings;
class UpdateHost;
class UserPrompt;

// The seven commands, in the order of the window's buttons.
enum class Command {
    ExtractPage = 0, // 提取当前页交易
    Merge = 1, // 合并记录
    Clear = 2, // 清空表格
    DeleteRows = 3, // 删除选中记录
    RemoveClosed = 4, // the check box's action
    ExtractAll = 5, // 提取所有交易
    Export = 6, // 导出记录
};

// Told when a command met the grid's bounds and ended before its end.
inline const char* const kCommandEndedEarlyText
    = "操作没有做完：表格在操作中途变了。表格保留已经做完的部分，文件没有被改写。";

// How one command went.
struct [[nodiscard]] CommandOutcome {
    bool ran = false; // false: refused, another command was running
    QStringList messages; // what the user is to be told, in order
    int tradesRead = 0; // trades the command added to the grid
    int detailsFromHistory = 0; // of those, trades whose details the history gave
    bool historyWriteFailed = false; // the history did not take a page of downloaded details
    int tradesNamed = 0; // trades left without details or named by a check
    FindingList findings; // every check's verdict, trades without a row included
    bool closedFiltered = false; // the closed trades were removed after the extraction
    int closedRemoved = 0; // rows of closed trades the command removed
    std::optional<WalkResult> walk; // how the page walk of "提取所有交易" ended
    std::optional<ExportResult> written; // the file ExportTo wrote, or why not
    QString endedEarly; // a step failed on the grid's bounds: what, for the log
    std::optional<ShippingDocuments> documents; // what CollectDocuments read
};

// What the owner adds around the commands; every member may stay empty.
struct SessionHooks {
    // Asked once an extraction is done: true removes the closed trades.
    std::function<bool()> filterClosed;
    // Told true when a command starts, false once it and what waited for it
    // have ended.
    std::function<void(bool busy)> busyChanged;
    // The seller's nick, read from the page as an extraction starts.
    std::function<void(const QString& nick)> shopNickRead;
    // After each page of "提取所有交易": its number from 1, the trades
    // the grid holds then.
    std::function<void(int page, int trades)> pageRead;
    // Asked as "导出记录" writes: whether the sheet gets the buyer's message
    // and the seller's memo at its end; without the hook it does not.
    std::function<bool()> exportNotes;
};

class CommandSession {
public:
    // run, browser, nextPage and saveDialog are not owned and must outlive
    // the session; without a save dialog "导出记录" does nothing.
    CommandSession(RunContext& run, BrowserPage& browser, PageLoadWatch& nextPage, SaveDialog* saveDialog,
        SessionHooks hooks = {});
    CommandSession(const CommandSession&) = delete;
    CommandSession& operator=(const CommandSession&) = delete;

    TradeGrid& Grid() { return grid_; }
    const TradeGrid& Grid() const { return grid_; }
    bool Busy() const { return guard_.Busy(); }
    // A command or the update check waits in a nested event loop.
    bool Running() const { return Busy() || updateCheck_.Running(); }
    // The run's settings and prompt, for the owner's controls.
    Settings& RunSettings();
    UserPrompt& Prompt();
    // The address the browser opens first (the login page).
    const QString& StartUrl() const;

    // Start-up, before the first command: the grid's columns and heights
    // (a grid that cannot be set up now is set up by the first extraction).
    void SetUpGrid();
    // Start-up, once the owner shows the grid: offers the grid the last run
    // left through the run's checkpoint (Nothing without one); the result
    // says what the user is to be told and whether the grid came back.
    [[nodiscard]] RecoveryOfferResult OfferRecovery();
    // Start-up: the update check, once the browser's first page has
    // finished (PageFinished); firstPage is told first.
    void StartUpdateCheck(UpdateHost& host, std::function<void()> firstPage);
    void PageFinished() { updateCheck_.PageFinished(); }
    const FirstPageUpdateCheck& UpdateCheck() const { return updateCheck_; }

    // The close check: false when the user chose to keep the program open
    // because rows not exported would be lost (MayEndWithGrid). While
    // something runs (or ownerWaiting: the owner waits in a nested event
    // loop of its own) the grid may be half-way through a change, so the
    // last save's failure decides, untried.
    [[nodiscard]] bool MayClose(bool ownerWaiting = false);
    // The program ends normally: the last checkpoint and the end of the
    // recovery (EndGridCheckpoints); a second call does nothing more.
    // ownerWaiting: the owner waits in a nested event loop of its own.
    void EndCheckpoints(bool ownerWaiting = false);

    // What the checks found on the grid's trades (and on trades refused
    // without a row) since the grid was last cleared: the window's pane and
    // tints, the slips and the recovery file read it.
    const FindingList& Findings() const { return findings_; }
    // The findings of a grid the recovery gave back.
    void SetFindings(FindingList findings) { findings_ = std::move(findings); }

    // The seller's nick as the user sees it; an extraction reads it from
    // the page only while it is empty.
    const QString& ShopNick() const { return shopNick_; }
    void SetShopNick(const QString& nick) { shopNick_ = nick; }

    // Runs command now; refused (ran false) while another command runs.
    CommandOutcome Run(Command command);
    // Runs command now when none runs, else once the running one has ended
    // (a later request under the same command replaces a waiting one);
    // wanted is asked then, and done gets the outcome.
    void RunWhenFree(Command command, std::function<bool()> wanted, std::function<void(const CommandOutcome&)> done);
    // Runs no command, only what follows one (the checkpoint): the grid was
    // filled from outside. Refused (ran false) while a command runs.
    CommandOutcome GridChanged();
    // The picking list and packing slips of the rows to ship (rows picks
    // all or the user's selection), dated today, for the owner to print;
    // the outcome's messages say what was left out or that nothing ships.
    CommandOutcome CollectDocuments(const DocumentRows& rows);
    // Writes the grid to path as "导出记录" would after its dialog, without
    // its questions (the unattended export).
    CommandOutcome ExportTo(const QString& path, ExportNotes notes = ExportNotes::Without);
    // What the user is to hear about a run's history that cannot be used
    // (HistoryTrouble.h), once a run: empty when there is nothing or it was
    // told already. writeFailed: a page of details was not taken.
    [[nodiscard]] QString UntoldHistoryTrouble(bool writeFailed = false);
    // The program ends under a running command: nothing waits any more, the
    // running command stops at its next step and asks nothing, and nothing
    // is shown on the progress view any more.
    void EndRun();

private:
    CommandOutcome Execute(Command command);
    CommandOutcome Guarded(const std::function<CommandOutcome()>& work);
    CommandOutcome ExtractPage();
    CommandOutcome ExtractAll();
    void ReadShopNickIfUnknown();
    // True when the closed trades were removed (the owner's filter is on).
    bool RemoveClosedIfAsked(CommandOutcome& outcome);
    // After rows were removed: the findings of trades no row holds any more
    // are dropped, and the rows' heights follow their rows.
    void RowsRemoved(const QSet<QString>& tradesBefore);

    RunContext& run_;
    BrowserPage& browser_;
    PageLoadWatch& nextPage_;
    SaveDialog* saveDialog_;
    SessionHooks hooks_;
    TradeGrid grid_;
    FindingList findings_;
    CommandGuard guard_;
    QString shopNick_;
    FirstPageUpdateCheck updateCheck_;
    // Commands under way, the outermost one included.
    int depth_ = 0;
    // A failed recovery save is told once a run.
    bool saveFailureTold_ = false;
    bool historyTroubleTold_ = false;
};

// The command behind a button index 0 … 6; none for any other index.
std::optional<Command> CommandAt(int index);

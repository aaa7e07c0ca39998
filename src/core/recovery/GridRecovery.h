#pragma once
// Keeps the trade grid safe across a crash, a power cut, a killed process
// or a close before the grid was exported. The grid is saved atomically to
// a recovery file after every extracted page and every command. A normal
// end removes the file unless the grid holds rows not exported since they
// changed: then the file is kept with a note that it was kept on purpose.
// A file found at start-up is offered back once, worded after how the last
// run ended; until then nothing is saved over it, so the run's checkpoint
// can be in place from the start.
//
// The folder is locked for the run: a second instance started meanwhile
// neither offers the first one's grid nor saves over it. A lock file that
// cannot be written (a full disk) is not another instance: the grid left
// behind is still offered, and every save counts as failed, trying the lock
// again first, until the disk takes it. Folder and files are the owner's
// alone, as they hold buyers' names and addresses.

#include "core/trade/Finding.h"

#include <QLockFile>
#include <QString>

#include <memory>

class DetailLedger;
class TradeGrid;
class UserPrompt;

enum class RecoveryOffer {
    Nothing, // no grid left behind (or an empty one)
    Restored, // the user took the grid back
    Declined, // the user said no; the file waits aside until a normal end
    Unreadable, // the file could not be read; it is set aside, the user to be told
};

// How the offer at start-up went, and what the user is to be told about it
// (empty: nothing); the caller shows it.
struct [[nodiscard]] RecoveryOfferResult {
    RecoveryOffer offer = RecoveryOffer::Nothing;
    QString toTell; // Restored: findings that could not be read, when some could not
    FindingList findings; // Restored: what the checks had found on the grid's trades
};

// How a save of the recovery file ended.
enum class RecoverySave {
    Saved,
    // Nothing written: another instance holds the folder, the recovery has
    // ended, or the grid the last run left has not been offered yet.
    Off,
    // The file (or the folder's lock file) could not be written (logged);
    // the last one stays.
    Failed,
};

inline const char* const kRecoveryQuestion = "恢复上次未完成的表格（%1 行）？";
inline const char* const kRecoveryKeptQuestion = "上次关闭时表格中有 %1 行尚未导出，恢复？";
inline const char* const kRecoveryDamagedText
    = "上次未完成的表格无法恢复：保存的文件已损坏。原文件已保留在：\n%1";
inline const char* const kRecoverySaveFailedText = "磁盘空间不足，表格未能保存到恢复文件，请及时导出。";
inline const char* const kCloseUnsavedQuestion
    = "表格中有 %1 行尚未导出，也未能保存到恢复文件，关闭后将丢失。确定关闭？";
inline const char* const kRecoveryNewerText
    = "上次未完成的表格由较新的版本保存，本版本无法恢复。原文件已保留在：\n%1";
// The grid came back, but not all that the checks had found on it.
inline const char* const kRecoveryFindingsDamagedText
    = "表格已恢复，但文件中的核对结果已损坏，没有恢复：读不准或需要核对的单元格不再标出。重新提取可再次核对。";
inline const char* const kRecoveryFindingsNewerText
    = "表格已恢复，但有 %1 条核对结果是较新的版本记下的，本版本不认识，没有恢复。";

class GridRecovery {
public:
    // The per-user data folder's "recovery" folder.
    static QString DefaultFolder();

    explicit GridRecovery(const QString& folder);
    ~GridRecovery();
    GridRecovery(const GridRecovery&) = delete;
    GridRecovery& operator=(const GridRecovery&) = delete;

    // False when another running instance holds the folder, or the lock
    // file could not be written.
    bool Active() const { return locked_; }

    QString FilePath() const;
    // Where a declined grid waits until the next normal end.
    QString DeclinedPath() const;
    // Where a file that could not be read was set aside this run (kept at
    // the end); empty when none was. Each gets a numbered name of its own,
    // so an earlier one is never overwritten.
    QString SetAsidePath() const { return setAside_; }

    // At start-up: offers the grid the last run left ("恢复上次未完成的表格
    // （N 行）？" after a crash, "上次关闭时表格中有 N 行尚未导出，恢复？"
    // after a close that kept it; Yes by default) and on Yes gives the grid
    // its texts, heights and widths.
    // A restored trade without a recipient is remembered in ledger as
    // failed, to be fetched once more. A file that cannot be read is set
    // aside; the result then says where, for the user.
    RecoveryOfferResult OfferRestore(UserPrompt& prompt, DetailLedger& ledger, TradeGrid& grid);

    // Writes the grid to the recovery file, replacing it only once the new
    // one is complete. Failed (and logged) when it could not be written; the
    // file then stays as the last save left it. The findings on the grid's
    // trades are saved with it: those given here, else those of the last
    // save that gave them.
    [[nodiscard]] RecoverySave Save(const TradeGrid& grid);
    [[nodiscard]] RecoverySave Save(const TradeGrid& grid, const FindingList& findings);
    // A save in the middle of a command: the findings of the last save that
    // gave them and those the command has made so far.
    [[nodiscard]] RecoverySave SaveDuringCommand(const TradeGrid& grid, const FindingList& pending);
    // The latest save failed.
    bool LastSaveFailed() const { return lastSaveFailed_; }

    // A normal end: the recovery file and a declined one go.
    void EndCleanly();
    // A normal end that keeps the recovery file as it is for the next start
    // to offer back (the declined one goes). Without a file, as EndCleanly.
    void EndKeepingGrid();

private:
    // Takes the folder's lock; false when another instance holds it or when
    // it cannot be written (lockUnwritable_). quiet: no warning (a retry).
    bool TakeLock(bool quiet);
    // Neither this run's lock nor a failure to write one: the recovery is
    // off (another instance) or has ended.
    bool Off() const { return !locked_ && !lockUnwritable_; }
    QString KeptMarkerPath() const;
    QString NextSetAsidePath() const;
    // Moves the recovery file to a new set-aside name; text, with where it
    // went, is what the user is to be told.
    QString SetAside(const char* text);

    QString folder_;
    QString setAside_;
    std::unique_ptr<QLockFile> lock_;
    bool locked_ = false;
    // The lock file could not be written (no space, no right to write):
    // the run's saves fail until it can.
    bool lockUnwritable_ = false;
    // A grid the last run left waits to be offered: saves would overwrite it.
    bool offerPending_ = false;
    bool lastSaveFailed_ = false;
    FindingList findings_; // as the last save that gave them gave them

    RecoverySave Write(const TradeGrid& grid, const FindingList& findings);
};

// The commands checkpoint the grid after every page and command: saved
// through the run's recovery, or not at all without one.
// pending: the findings the running command has made so far.
void CheckpointGrid(GridRecovery* checkpoint, const TradeGrid& grid, const FindingList& pending = {});
// The program ends normally: the recovery ends, so nothing is saved
// afterwards (a saving checkpoint of an ended recovery does nothing). A grid holding rows not exported since
// they changed stays in the recovery file for the next start; otherwise
// the file goes. While a command still runs, the grid may be half-way
// through a change: the file then keeps the grid of the last finished step.
void EndGridCheckpoints(GridRecovery* checkpoint, const TradeGrid& grid, bool commandRunning = false);

// Whether the program may end now: asks first (kCloseUnsavedQuestion, No by
// default) when the grid holds rows not exported and the recovery file could
// not take them, even at one more try. While a command runs the grid may be
// half-way through a change, so the last save's failure decides, untried.
bool MayEndWithGrid(GridRecovery* checkpoint, UserPrompt& prompt, const TradeGrid& grid, bool commandRunning = false);

// Start-up: offers the last run's grid through checkpoint (Nothing without
// one); the checkpoint saves from then on. A recovery that cannot save from
// the start (a full disk) is told with the offer's outcome.
RecoveryOfferResult StartGridRecovery(
    GridRecovery* checkpoint, UserPrompt& prompt, DetailLedger& ledger, TradeGrid& grid);

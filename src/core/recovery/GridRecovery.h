#pragma once
// Keeps the trade grid safe across a crash, a power cut or a killed
// process. The grid is saved atomically to a recovery file after every
// extracted page and every command; a normal end removes the file, so a
// file found at start-up means the last run did not end normally, and its
// grid is offered back once.
//
// The folder is locked for the run: a second instance started meanwhile
// neither offers the first one's grid nor saves over it.

#include <QLockFile>
#include <QString>

#include <memory>

class DetailLedger;
class RunContext;
class TradeGrid;
class UserPrompt;

enum class RecoveryOffer {
    Nothing, // no grid left behind (or an empty one)
    Restored, // the user took the grid back
    Declined, // the user said no; the file waits aside until a normal end
    Unreadable, // the file could not be read; it is kept and the user told
};

inline const char* const kRecoveryQuestion = "恢复上次未完成的表格（%1 行）？";
inline const char* const kRecoveryDamagedText
    = "上次未完成的表格无法恢复：保存的文件已损坏。原文件已保留在：\n%1";
inline const char* const kRecoveryNewerText
    = "上次未完成的表格由较新的版本保存，本版本无法恢复。原文件已保留在：\n%1";

class GridRecovery {
public:
    // The per-user data folder's "recovery" folder.
    static QString DefaultFolder();

    explicit GridRecovery(const QString& folder);
    ~GridRecovery();
    GridRecovery(const GridRecovery&) = delete;
    GridRecovery& operator=(const GridRecovery&) = delete;

    // False when another running instance holds the folder.
    bool Active() const { return locked_; }

    QString FilePath() const;
    // Where a declined grid waits until the next normal end.
    QString DeclinedPath() const;
    // Where a file that could not be read is kept (not removed at the end).
    QString UnreadablePath() const;

    // At start-up, before anything is saved: offers the grid the last run
    // left ("恢复上次未完成的表格（N 行）？", Yes by default) and on Yes
    // gives the grid its texts, heights and widths.
    // A restored trade without a recipient is remembered in ledger as
    // failed, to be fetched once more.
    RecoveryOffer OfferRestore(UserPrompt& prompt, DetailLedger& ledger, TradeGrid& grid);

    // Writes the grid to the recovery file, replacing it only once the new
    // one is complete. False (and logged) when it could not be written.
    bool Save(const TradeGrid& grid);

    // A normal end: the recovery file and a declined one go.
    void EndCleanly();

private:
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    bool locked_ = false;
    bool lastSaveFailed_ = false;
};

// The commands checkpoint the grid after every page and command: saved
// through the run's recovery, or not at all without one.
void CheckpointGrid(GridRecovery* checkpoint, const TradeGrid& grid);
// The program ends normally: the run's recovery ends cleanly and is
// dropped from the run, so nothing is saved afterwards.
void EndGridCheckpointsCleanly(RunContext& run);

// Start-up in one step: offer the last run's grid, then make recovery the
// run's checkpoint.
RecoveryOffer StartGridRecovery(GridRecovery& recovery, RunContext& run, TradeGrid& grid);

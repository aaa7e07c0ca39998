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

class TradeGrid;

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
    RecoveryOffer OfferRestore(TradeGrid& grid);

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

// The checkpoint seam: the commands call CheckpointGrid after every page
// and command; it saves through the installed recovery, or does nothing.
void SetGridCheckpoint(GridRecovery* recovery);
void CheckpointGrid(const TradeGrid& grid);
// The program ends normally: the installed recovery ends cleanly and is
// uninstalled, so nothing is saved afterwards.
void EndGridCheckpointsCleanly();

// Start-up in one step: offer the last run's grid, then install recovery
// as the checkpoint.
RecoveryOffer StartGridRecovery(GridRecovery& recovery, TradeGrid& grid);

#include "GridRecovery.h"

#include "GridSnapshot.h"
#include "core/base/Logging.h"
#include "core/base/OwnerOnly.h"
#include "core/base/UserPrompt.h"
#include "core/downloads/DetailLedger.h"
#include "core/grid/GridSetup.h"
#include "core/grid/GridSteps.h"
#include "core/grid/TradeGrid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>

namespace {

// Which downloads had failed before the crash is not in the file; a trade
// row without a recipient may be one of them, so each is fetched once more
// at the end of the next command (one that simply has no address is then
// forgotten again).
void RememberTradesWithoutRecipient(DetailLedger& ledger, const TradeGrid& grid)
{
    for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
        const QString order = CellOrEmpty(grid, row, ColOrderNumber);
        if (!order.isEmpty() && !IsFurtherItemOrder(order) && CellOrEmpty(grid, row, ColRecipient).isEmpty())
            ledger.RememberFailed(order);
    }
}

constexpr QFileDevice::Permissions kOwnerOnlyFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kOwnerOnlyFolder = kOwnerOnlyFile | QFileDevice::ExeOwner;

// Moves file to target, replacing an older one there. A file an earlier
// version left readable to others becomes the owner's alone.
Done MoveAside(const QString& file, const QString& target)
{
    QFile::remove(target);
    if (QFile::rename(file, target)) {
        QFile::setPermissions(target, kOwnerOnlyFile);
        return Done::Ok();
    }
    qCWarning(lcGrid) << "could not move" << file << "to" << target;
    return Done::Failed(QStringLiteral("could not move %1 to %2").arg(file, target));
}

} // namespace

QString GridRecovery::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
        + QStringLiteral("/recovery");
}

GridRecovery::GridRecovery(const QString& folder)
    : folder_(folder)
{
    lock_ = std::make_unique<QLockFile>(folder_ + QStringLiteral("/lock"));
    // The lock lasts as long as the run, however long; only a lock whose
    // process has gone is taken over.
    lock_->setStaleLockTime(0);
    TakeLock(false);
    // A disk too full for the lock still holds the last run's grid.
    offerPending_ = !Off() && QFile::exists(FilePath());
    lastSaveFailed_ = lockUnwritable_;
}

bool GridRecovery::TakeLock(bool quiet)
{
    if (!QDir().mkpath(folder_)) {
        lockUnwritable_ = true;
        if (!quiet)
            qCWarning(lcGrid) << "grid recovery cannot save: cannot create" << folder_
                              << qt_error_string(errno);
        return false;
    }
    // Also a folder an earlier version made readable to others.
    if (!QFile::setPermissions(folder_, kOwnerOnlyFolder) && !quiet)
        qCWarning(lcGrid) << "could not make" << folder_ << "the owner's alone";
    locked_ = lock_->tryLock(0);
    if (locked_) {
        // The lock holds only a process id: a lock others can read still locks.
        if (!MakeOwnerOnlyFile(lock_->fileName()))
            qCInfo(lcGrid) << "recovery lock kept with its modes";
        lockUnwritable_ = false;
        return true;
    }
    // Only a lock file that is there and held is another instance; one that
    // could not be made or written is a disk that refuses (QLockFile removes
    // a lock it could not write whole).
    lockUnwritable_ = lock_->error() != QLockFile::LockFailedError;
    if (quiet)
        return false;
    if (lockUnwritable_)
        qCWarning(lcGrid) << "grid recovery cannot save: the lock file in" << folder_
                          << "cannot be written (disk full?)" << qt_error_string(errno);
    else
        qCWarning(lcGrid) << "grid recovery off:" << folder_ << "is locked by another instance";
    return false;
}

GridRecovery::~GridRecovery() = default;

QString GridRecovery::FilePath() const
{
    return folder_ + QStringLiteral("/grid.lmtgrid");
}

QString GridRecovery::DeclinedPath() const
{
    return folder_ + QStringLiteral("/grid-declined.lmtgrid");
}

QString GridRecovery::KeptMarkerPath() const
{
    return folder_ + QStringLiteral("/kept-at-close");
}

QString GridRecovery::NextSetAsidePath() const
{
    // The first free number: files set aside earlier stay as they are.
    for (int n = 1;; ++n) {
        const QString path = folder_ + QStringLiteral("/grid-unreadable-%1.lmtgrid").arg(n);
        if (!QFileInfo::exists(path))
            return path;
    }
}

QString GridRecovery::SetAside(const char* text)
{
    const QString target = NextSetAsidePath();
    setAside_ = MoveAside(FilePath(), target) ? target : FilePath();
    return QString::fromUtf8(text).arg(QDir::toNativeSeparators(setAside_));
}

RecoveryOfferResult GridRecovery::OfferRestore(UserPrompt& prompt, DetailLedger& ledger, TradeGrid& grid)
{
    if (Off())
        return {};
    // Whatever the answer, saves may go on after this.
    offerPending_ = false;
    // The note speaks for this file only: whatever the answer, it goes.
    const bool keptAtClose = QFile::remove(KeptMarkerPath());
    if (!QFile::exists(FilePath()))
        return {};
    QFile file(FilePath());
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    SnapshotReadResult read = DecodeGridSnapshot(bytes);
    if (read.status != SnapshotStatus::Ok) {
        qCWarning(lcGrid) << "recovery file unreadable:" << read.reason;
        return { RecoveryOffer::Unreadable,
            SetAside(
                read.status == SnapshotStatus::NewerFormat ? kRecoveryNewerText : kRecoveryDamagedText),
            {} };
    }
    const int dataRows = read.snapshot.DataRows();
    if (dataRows <= 0) {
        QFile::remove(FilePath());
        return {};
    }
    const char* question = keptAtClose ? kRecoveryKeptQuestion : kRecoveryQuestion;
    if (!prompt.AskYesNoDefaultYes(QString::fromUtf8(question).arg(dataRows))) {
        (void)MoveAside(FilePath(), DeclinedPath()); // logged; the offer is declined either way
        return { RecoveryOffer::Declined, QString(), {} };
    }
    try {
        ApplyGridSnapshot(read.snapshot, grid);
    } catch (const GridRangeError& error) {
        // The decoder checked the shape, so only a grid that refuses it
        // (a lower limit in a later version) gets here.
        qCWarning(lcGrid) << "recovered grid refused:" << error.what();
        return { RecoveryOffer::Unreadable, SetAside(kRecoveryDamagedText), {} };
    }
    RememberTradesWithoutRecipient(ledger, grid);
    findings_ = read.snapshot.findings;
    // Findings that did not read are left out, and said: the cells they
    // marked would otherwise pass for clean ones.
    QString toTell;
    if (read.findingsDamaged || read.findingsOfNewerKind > 0)
        qCWarning(lcGrid) << "recovery file:" << read.reason;
    if (read.findingsDamaged)
        toTell = QString::fromUtf8(kRecoveryFindingsDamagedText);
    else if (read.findingsOfNewerKind > 0)
        toTell = QString::fromUtf8(kRecoveryFindingsNewerText).arg(read.findingsOfNewerKind);
    return { RecoveryOffer::Restored, toTell, read.snapshot.findings };
}

RecoverySave GridRecovery::Save(const TradeGrid& grid)
{
    return Write(grid, findings_);
}

RecoverySave GridRecovery::Save(const TradeGrid& grid, const FindingList& findings)
{
    findings_ = findings;
    return Write(grid, findings_);
}

RecoverySave GridRecovery::SaveDuringCommand(const TradeGrid& grid, const FindingList& pending)
{
    FindingList all = findings_;
    all.Append(pending);
    return Write(grid, all);
}

RecoverySave GridRecovery::Write(const TradeGrid& grid, const FindingList& findings)
{
    if (Off() || offerPending_)
        return RecoverySave::Off;
    // A disk that was too full for the lock may take it now.
    if (!locked_ && !TakeLock(true)) {
        if (!lastSaveFailed_)
            qCWarning(lcGrid) << "could not save the recovery file: its lock file cannot be written";
        lastSaveFailed_ = true;
        return RecoverySave::Failed;
    }
    const QByteArray bytes = EncodeGridSnapshot(grid, findings);
    QSaveFile file(FilePath());
    // A full disk can take part of a write without reporting an error, so
    // the count is checked; commit only replaces the file once all is there.
    // Unbuffered, so the count is the disk's: a buffered write counts what
    // it kept, and the flush inside commit does not report a short write.
    bool saved = false;
    int failure = 0;
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        file.setPermissions(kOwnerOnlyFile); // buyers' names and addresses
        saved = file.write(bytes) == bytes.size() && file.commit();
    }
    if (!saved)
        failure = errno; // the system's reason (no space, file too large …)
    // One warning per run of failures, not one per page. QSaveFile has
    // removed its temporary file; the last good one stays.
    if (!saved && !lastSaveFailed_)
        qCWarning(lcGrid) << "could not save the recovery file" << FilePath() << file.errorString()
                          << qt_error_string(failure) << "- the previous one is kept";
    if (saved && lastSaveFailed_)
        qCInfo(lcGrid) << "the recovery file is saved again";
    lastSaveFailed_ = !saved;
    return saved ? RecoverySave::Saved : RecoverySave::Failed;
}

void GridRecovery::EndCleanly()
{
    if (Off())
        return;
    // A grid never offered stays for the next start.
    if (!offerPending_) {
        QFile::remove(FilePath());
        QFile::remove(DeclinedPath());
    }
    if (locked_)
        lock_->unlock();
    locked_ = false;
    lockUnwritable_ = false;
}

void GridRecovery::EndKeepingGrid()
{
    if (!locked_) {
        // Without the lock the file stays as the last good save left it:
        // the next start offers it as after a crash.
        lockUnwritable_ = false;
        return;
    }
    if (!QFile::exists(FilePath()) || offerPending_) {
        EndCleanly();
        return;
    }
    QFile marker(KeptMarkerPath());
    if (marker.open(QIODevice::WriteOnly))
        marker.setPermissions(kOwnerOnlyFile);
    else // the grid is still offered, only worded as after a crash
        qCWarning(lcGrid) << "could not note that the grid was kept:" << marker.errorString();
    marker.close();
    QFile::remove(DeclinedPath());
    lock_->unlock();
    locked_ = false;
}

void CheckpointGrid(GridRecovery* checkpoint, const TradeGrid& grid, const FindingList& pending)
{
    if (!checkpoint)
        return;
    // The save warns at the first failure of a run of them, and the session
    // tells it after the command from its own save; Off needs nothing.
    if (checkpoint->SaveDuringCommand(grid, pending) == RecoverySave::Failed)
        qCDebug(lcGrid) << "checkpoint failed; the recovery file keeps its last good save";
}

bool MayEndWithGrid(GridRecovery* checkpoint, UserPrompt& prompt, const TradeGrid& grid, bool commandRunning)
{
    if (!checkpoint || !checkpoint->LastSaveFailed() || !grid.HasUnexportedRows())
        return true;
    if (!commandRunning && checkpoint->Save(grid) == RecoverySave::Saved)
        return true;
    const int dataRows = grid.Rows() - grid.FixedRows();
    return prompt.AskYesNo(QString::fromUtf8(kCloseUnsavedQuestion).arg(dataRows));
}

RecoveryOfferResult StartGridRecovery(
    GridRecovery* checkpoint, UserPrompt& prompt, DetailLedger& ledger, TradeGrid& grid)
{
    if (!checkpoint)
        return {};
    RecoveryOfferResult offered = checkpoint->OfferRestore(prompt, ledger, grid);
    // A recovery that cannot save from the start (a disk too full for its
    // lock) is told with the offer, which still came from the last file.
    if (checkpoint->LastSaveFailed()) {
        const QString failed = QString::fromUtf8(kRecoverySaveFailedText);
        offered.toTell = offered.toTell.isEmpty() ? failed : offered.toTell + QStringLiteral("\n\n") + failed;
    }
    return offered;
}

void EndGridCheckpoints(GridRecovery* checkpoint, const TradeGrid& grid, bool commandRunning)
{
    if (!checkpoint)
        return;
    if (grid.HasUnexportedRows()) {
        // The last save may have failed; a last try costs little. When it
        // fails too, the file keeps the grid of the last good save.
        if (!commandRunning && checkpoint->Save(grid) == RecoverySave::Failed)
            qCWarning(lcGrid) << "the recovery file keeps the grid of its last good save";
        checkpoint->EndKeepingGrid();
    } else {
        checkpoint->EndCleanly();
    }
}

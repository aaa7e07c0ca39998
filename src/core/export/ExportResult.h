#pragma once
// What a writer reports back: the file was written, or why not. The writers
// show nothing; the export command decides what the user is told.

#include <QString>
#include <cerrno>

// How an export ended. The writers give Written or Failed; the export
// command adds the two ends that come before any writing.
enum class ExportStatus {
    Written, // the file holds the grid
    Cancelled, // the user chose no file, or not to overwrite one: nothing to tell
    Refused, // no file can go there (a folder, a file that cannot be replaced)
    Failed, // writing failed; an earlier file is as it was
};

struct [[nodiscard]] ExportResult {
    ExportStatus status = ExportStatus::Failed;
    QString path;
    QString reason; // why it was not written, for the log; empty when written
    int cutCells = 0; // workbook texts shortened to fit a cell
    int beyondGbk = 0; // CSV characters GBK cannot hold, written as "?"
    int systemError = 0; // the system's error number of a write that failed (errno), 0 when none was read

    bool IsWritten() const { return status == ExportStatus::Written; }
    // The write failed for want of room: the disk (or the user's quota) is full.
    bool NoRoom() const
    {
#ifdef EDQUOT
        if (systemError == EDQUOT)
            return true;
#endif
        return systemError == ENOSPC;
    }

    static ExportResult Written(const QString& path, int cutCells = 0)
    {
        return { ExportStatus::Written, path, {}, cutCells, 0, 0 };
    }
    static ExportResult Failed(const QString& path, const QString& reason, int systemError = 0)
    {
        return { ExportStatus::Failed, path, reason, 0, 0, systemError };
    }
};

#pragma once
// Fault helpers and small grid helpers shared by the export tests.

#include "StandIns.h"
#include "core/export/ExportGrid.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>

namespace exporttest {

using standin::RecordingPrompt;
using standin::ScriptedSaveDialog;

// A device that accepts a number of bytes and then refuses every write.
class FailDevice : public QBuffer {
public:
    explicit FailDevice(qint64 failAfter)
        : failAfter_(failAfter)
    {
    }

protected:
    qint64 writeData(const char* data, qint64 len) override
    {
        if (written_ + len > failAfter_) {
            setErrorString(QStringLiteral("device full"));
            return -1;
        }
        written_ += len;
        return QBuffer::writeData(data, len);
    }

private:
    qint64 failAfter_;
    qint64 written_ = 0;
};

// Limits the size of files this process may write (writes beyond it fail as
// on a full disk, SIGXFSZ ignored) until destroyed.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        if (active_)
            setrlimit(RLIMIT_FSIZE, &saved_);
    }
    bool active() const { return active_; }

private:
    rlimit saved_ {};
    bool active_ = false;
};

// What the export command tells the user about a writer's result (the
// writer itself shows nothing); a failure's progress is closed.
inline QStringList ToldUser(Progress& progress, const ExportResult& result)
{
    return ExportResultMessages(progress, result);
}

// A grid of the given size: one fixed row and column, cell texts "r<row>c<col>".
inline void FillGrid(TradeGrid& grid, int rows, int cols, int fixedRows = 1)
{
    // The grid keeps at least one row below the fixed ones while they are
    // set, as BuildGridHeader does; lowering Rows afterwards keeps them.
    grid.SetCols(cols);
    grid.SetRows(std::max(rows, fixedRows + 1));
    grid.SetFixedRows(fixedRows);
    grid.SetRows(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            grid.SetTextMatrix(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
}

// As another command would: after the writer has let events run a number of
// times, the grid loses its rows beyond keepRows.
inline void ShrinkGridLater(TradeGrid& grid, int eventPasses, int keepRows)
{
    QTimer::singleShot(0, &grid, [&grid, eventPasses, keepRows] {
        if (eventPasses <= 0)
            grid.SetRows(keepRows);
        else
            ShrinkGridLater(grid, eventPasses - 1, keepRows);
    });
}

// The names in a folder, hidden ones included.
inline QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace exporttest

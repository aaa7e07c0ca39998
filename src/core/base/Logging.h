#pragma once
// Logging categories, one per area, and the per-user log file.
//
// Failures the tool deliberately carries on after (a grid step that fails, a
// fetch that gives up, an export that fails) are logged here so that a seller
// who reports a problem can send the log. Messages go to standard error as
// usual and, while main() keeps a LogFile, to a size-capped file as well.

#include <QLoggingCategory>
#include <memory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcWeb)
Q_DECLARE_LOGGING_CATEGORY(lcExtract)
Q_DECLARE_LOGGING_CATEGORY(lcExport)
Q_DECLARE_LOGGING_CATEGORY(lcGrid)
Q_DECLARE_LOGGING_CATEGORY(lcCommands)
Q_DECLARE_LOGGING_CATEGORY(lcUpdate)
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
Q_DECLARE_LOGGING_CATEGORY(lcHistory)
Q_DECLARE_LOGGING_CATEGORY(lcText)

// The log file in the per-user data folder ($XDG_DATA_HOME/lumetra-trades on
// Linux). Needs the application name set.
QString DefaultLogFilePath();

// While it lives, every message is also appended to `path` (owner-only).
// When the file grows past `maxBytes` it is moved to `path` + ".1"
// (replacing the older one) and a new file starts, so the log never takes
// more than about twice that. When the file cannot be opened, messages go
// to standard error only. One at a time: main() keeps the run's.
// Which messages also reach standard error while a LogFile lives.
enum class StandardErrorMessages {
    All,
    // The tool's own (lumetra.*) and critical ones. An unattended run's
    // standard error ends up in a scheduler's mail or cron log: the browser
    // engine's start-up diagnostics (graphics, sandbox) go to the file only.
    OwnOnly,
    // Critical ones only: the unattended run's standard error holds the
    // seller's lines, the log's warnings about the same trades stay in the
    // file.
    CriticalOnly,
};

class LogFile {
public:
    static constexpr qint64 kDefaultMaxBytes = 1024 * 1024;
    explicit LogFile(const QString& path, qint64 maxBytes = kDefaultMaxBytes,
        StandardErrorMessages toStandardError = StandardErrorMessages::All);
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;
    bool IsOpen() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

#include "Logging.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QRecursiveMutex>
#include <QStandardPaths>

#include <cerrno>

Q_LOGGING_CATEGORY(lcWeb, "lumetra.web")
Q_LOGGING_CATEGORY(lcExtract, "lumetra.extract")
Q_LOGGING_CATEGORY(lcExport, "lumetra.export")
Q_LOGGING_CATEGORY(lcGrid, "lumetra.grid")
Q_LOGGING_CATEGORY(lcCommands, "lumetra.commands")
Q_LOGGING_CATEGORY(lcUpdate, "lumetra.update")
Q_LOGGING_CATEGORY(lcSettings, "lumetra.settings")
Q_LOGGING_CATEGORY(lcHistory, "lumetra.history")
Q_LOGGING_CATEGORY(lcText, "lumetra.text")

struct LogFile::State {
    QFile file;
    qint64 maxBytes = 0;
    QtMessageHandler previous = nullptr;
    StandardErrorMessages toStandardError = StandardErrorMessages::All;
    bool failing = false; // the last line could not be written
};

namespace {

// Unbuffered: each line reaches the file in one write, whose result tells
// whether the disk took it.
constexpr QIODevice::OpenMode kLogOpenMode
    = QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered;

// Qt's message handler is a plain function for the whole process; it
// reaches the one log file main() keeps open while that object lives.
LogFile::State* activeLog = nullptr;
// Qt calls the handler on whichever thread logs (its own network and
// WebEngine threads among them): one line at a time reaches the file, and
// the log is not installed or removed under a line being written. Recursive:
// a warning Qt gives while a line is written comes back on the same thread.
QRecursiveMutex logMutex;

const char* LevelName(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "debug";
    case QtInfoMsg:
        return "info";
    case QtWarningMsg:
        return "warning";
    case QtCriticalMsg:
        return "critical";
    case QtFatalMsg:
        return "fatal";
    }
    return "?";
}

// Moves a full log aside; the one before it is dropped.
void RotateIfFull(LogFile::State& log)
{
    if (log.file.size() < log.maxBytes)
        return;
    const QString path = log.file.fileName();
    log.file.close();
    QFile::remove(path + QStringLiteral(".1"));
    QFile::rename(path, path + QStringLiteral(".1"));
    log.file.open(kLogOpenMode);
    log.file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// A line the disk did not take whole is cut off again, so the file keeps
// only whole lines; the first failure of a run of them goes to the handler
// before ours (standard error), as the log itself cannot say it.
void AppendLine(LogFile::State& log, const QByteArray& line, const QMessageLogContext& context)
{
    const qint64 before = log.file.size();
    const bool written = log.file.write(line) == line.size();
    if (!written) {
        const QString why = qt_error_string(errno); // no space, file too large …
        if (!log.file.resize(before))
            log.file.seek(log.file.size());
        if (!log.failing && log.previous)
            log.previous(QtWarningMsg, context,
                QStringLiteral("cannot write the log file %1: %2").arg(log.file.fileName(), why));
    }
    log.failing = !written;
}

bool ReachesStandardError(const LogFile::State& log, QtMsgType type, const QMessageLogContext& context)
{
    if (log.toStandardError == StandardErrorMessages::All || type == QtCriticalMsg || type == QtFatalMsg)
        return true;
    // Without an open file the message would be lost: it goes on as before.
    if (!log.file.isOpen())
        return true;
    return log.toStandardError == StandardErrorMessages::OwnOnly && context.category
        && qstrncmp(context.category, "lumetra.", 8) == 0;
}

void WriteToFileAndPrevious(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const QMutexLocker lock(&logMutex);
    if (!activeLog)
        return;
    LogFile::State& log = *activeLog;
    if (log.file.isOpen()) {
        const QByteArray line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + ' '
            + LevelName(type) + ' ' + (context.category ? context.category : "default") + ": "
            + message.toUtf8() + '\n';
        AppendLine(log, line, context);
        RotateIfFull(log);
    }
    if (log.previous && ReachesStandardError(log, type, context))
        log.previous(type, context, message);
}

} // namespace

QString DefaultLogFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
        + QStringLiteral("/lumetra-trades.log");
}

LogFile::LogFile(const QString& path, qint64 maxBytes, StandardErrorMessages toStandardError)
    : state_(std::make_unique<State>())
{
    state_->toStandardError = toStandardError;
    const QMutexLocker lock(&logMutex);
    if (activeLog) {
        qCWarning(lcSettings) << "a log file is open already; not writing to" << path;
        return;
    }
    // The log names buyers' order numbers: it is the owner's alone.
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    state_->file.setFileName(path);
    state_->maxBytes = maxBytes;
    if (!state_->file.open(kLogOpenMode)) {
        qCWarning(lcSettings) << "cannot open the log file" << path << state_->file.errorString();
        return;
    }
    state_->file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    activeLog = state_.get();
    state_->previous = qInstallMessageHandler(WriteToFileAndPrevious);
}

LogFile::~LogFile()
{
    const QMutexLocker lock(&logMutex);
    if (activeLog != state_.get())
        return;
    qInstallMessageHandler(state_->previous);
    activeLog = nullptr;
}

bool LogFile::IsOpen() const
{
    const QMutexLocker lock(&logMutex);
    return activeLog == state_.get() && state_->file.isOpen();
}

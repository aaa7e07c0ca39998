#include "Logging.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

Q_LOGGING_CATEGORY(lcWeb, "lumetra.web")
Q_LOGGING_CATEGORY(lcExtract, "lumetra.extract")
Q_LOGGING_CATEGORY(lcExport, "lumetra.export")
Q_LOGGING_CATEGORY(lcGrid, "lumetra.grid")
Q_LOGGING_CATEGORY(lcCommands, "lumetra.commands")
Q_LOGGING_CATEGORY(lcUpdate, "lumetra.update")
Q_LOGGING_CATEGORY(lcSettings, "lumetra.settings")
Q_LOGGING_CATEGORY(lcText, "lumetra.text")

namespace {

struct LogFile {
    QFile file;
    qint64 maxBytes = 0;
    QtMessageHandler previous = nullptr;
};

LogFile& TheLogFile()
{
    static LogFile log;
    return log;
}

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
void RotateIfFull(LogFile& log)
{
    if (log.file.size() < log.maxBytes)
        return;
    const QString path = log.file.fileName();
    log.file.close();
    QFile::remove(path + QStringLiteral(".1"));
    QFile::rename(path, path + QStringLiteral(".1"));
    log.file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

void WriteToFileAndPrevious(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    LogFile& log = TheLogFile();
    if (log.file.isOpen()) {
        const QByteArray line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + ' '
            + LevelName(type) + ' ' + (context.category ? context.category : "default") + ": "
            + message.toUtf8() + '\n';
        log.file.write(line);
        log.file.flush();
        RotateIfFull(log);
    }
    if (log.previous)
        log.previous(type, context, message);
}

} // namespace

QString DefaultLogFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
        + QStringLiteral("/lumetra-trades.log");
}

bool InstallLogFile(const QString& path, qint64 maxBytes)
{
    LogFile& log = TheLogFile();
    if (log.file.isOpen())
        log.file.close();
    if (path.isEmpty())
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    log.file.setFileName(path);
    log.maxBytes = maxBytes;
    if (!log.file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        qCWarning(lcSettings) << "cannot open the log file" << path << log.file.errorString();
        return false;
    }
    if (!log.previous) {
        log.previous = qInstallMessageHandler(WriteToFileAndPrevious);
    }
    return true;
}

#include "ProfileLock.h"

#include "Logging.h"
#include "OwnerOnly.h"

#include <QDir>
#include <QStandardPaths>

QString BrowserProfileFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/browser");
}

namespace {
QString LockFilePath(const QString& folder)
{
    MakeOwnerOnlyFolder(folder); // the browser profile: session cookies
    return folder + QStringLiteral("/lumetra-trades.lock");
}
} // namespace

ProfileLock::ProfileLock(const QString& folder)
    : lock_(LockFilePath(folder))
{
    // Never stale by age: a run may take hours. A holder that has died is
    // still recognised by its process id.
    lock_.setStaleLockTime(0);
}

bool ProfileLock::TryLock()
{
    if (lock_.tryLock(0)) {
        MakeOwnerOnlyFile(lock_.fileName());
        return true;
    }
    qCWarning(lcCommands) << "browser profile in use by process" << HolderPid() << "error" << lock_.error();
    return false;
}

qint64 ProfileLock::HolderPid() const
{
    qint64 pid = 0;
    QString host;
    QString app;
    return lock_.getLockInfo(&pid, &host, &app) ? pid : 0;
}

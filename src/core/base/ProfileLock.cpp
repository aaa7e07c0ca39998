#include "ProfileLock.h"

#include "Logging.h"
#include "OwnerOnly.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString LockFilePath(const QString& folder)
{
    // The browser profile holds session cookies; a folder that cannot be
    // made the owner's is logged, and the lock in it still works.
    if (!MakeOwnerOnlyFolder(folder))
        qCWarning(lcCommands) << "browser profile folder left as it was:" << folder;
    return folder + QStringLiteral("/lumetra-trades.lock");
}
} // namespace

ProfileLock::ProfileLock(const QString& folder)
    : folder_(folder)
    , lock_(LockFilePath(folder))
{
    // Never stale by age: a run may take hours. A holder that has died is
    // still recognised by its process id.
    lock_.setStaleLockTime(0);
}

ProfileLockResult ProfileLock::TryLock()
{
    if (lock_.tryLock(0)) {
        // The lock holds only a process id: a lock others can read still locks.
        if (!MakeOwnerOnlyFile(lock_.fileName()))
            qCInfo(lcCommands) << "profile lock kept with its modes";
        return ProfileLockResult::Locked;
    }
    // Only a lock file that is there and held means another program; Qt
    // removes a lock file it could not write whole.
    if (lock_.error() != QLockFile::LockFailedError) {
        qCWarning(lcCommands) << "cannot write the browser profile's lock file" << lock_.fileName() << "error"
                              << lock_.error();
        return ProfileLockResult::Unwritable;
    }
    qCWarning(lcCommands) << "browser profile in use by process" << HolderPid();
    return ProfileLockResult::InUse;
}

QString ProfileLock::RefusalText(ProfileLockResult result) const
{
    if (result == ProfileLockResult::Unwritable)
        return QString::fromUtf8(kProfileLockUnwritableText).arg(QDir::toNativeSeparators(folder_));
    return QString::fromUtf8(kProfileInUseText);
}

qint64 ProfileLock::HolderPid() const
{
    qint64 pid = 0;
    QString host;
    QString app;
    return lock_.getLockInfo(&pid, &host, &app) ? pid : 0;
}

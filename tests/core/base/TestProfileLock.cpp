#include "core/base/OwnerOnly.h"
#include "core/base/ProfileLock.h"
#include "support/ExportTestSupport.h"
#include "support/TestSupport.h"

#include <QProcess>

class TestProfileLock : public QObject {
    Q_OBJECT
private slots:
    void secondRunRefusedWhileTheFirstHoldsIt();
    void lockOfAnEndedRunTakenOver();
    void fullDiskIsNotAnotherRun();
    void profileFolderUnderTheDataHome();
};

void TestProfileLock::secondRunRefusedWhileTheFirstHoldsIt()
{
    QTemporaryDir folder;
    auto first = std::make_unique<ProfileLock>(folder.path());
    QCOMPARE(first->TryLock(), ProfileLockResult::Locked);
    ProfileLock second(folder.path());
    QCOMPARE(second.TryLock(), ProfileLockResult::InUse);
    QCOMPARE(second.RefusalText(ProfileLockResult::InUse), QString::fromUtf8(kProfileInUseText));
    QCOMPARE(second.HolderPid(), QCoreApplication::applicationPid());
    first.reset();
    QCOMPARE(second.TryLock(), ProfileLockResult::Locked);
}

void TestProfileLock::lockOfAnEndedRunTakenOver()
{
    QTemporaryDir folder;
    // A program that has ended: its process id is free again.
    QProcess ended;
    ended.start(QStringLiteral("sh"), { QStringLiteral("-c"), QStringLiteral("exit 0") });
    QVERIFY(ended.waitForStarted());
    const qint64 deadPid = ended.processId();
    QVERIFY(ended.waitForFinished());

    // The lock file it left behind: ours, with its process id.
    const QString path = folder.filePath(QStringLiteral("lumetra-trades.lock"));
    QByteArray leftBehind;
    {
        QLockFile lock(path);
        QVERIFY(lock.tryLock(0));
        leftBehind = testsupport::ReadFile(path);
        lock.unlock();
    }
    leftBehind.replace(0, leftBehind.indexOf('\n'), QByteArray::number(deadPid));
    QVERIFY(testsupport::WriteFile(path, leftBehind));

    ProfileLock next(folder.path());
    QCOMPARE(next.TryLock(), ProfileLockResult::Locked);
    QCOMPARE(next.HolderPid(), QCoreApplication::applicationPid());
}

// A disk with no room for the lock file: told as a full disk, and the next
// run, with room again, takes the profile.
void TestProfileLock::fullDiskIsNotAnotherRun()
{
    QTemporaryDir folder;
    ProfileLock lock(folder.path());
    {
        exporttest::FileSizeLimit full(0);
        if (!full.active())
            QSKIP("cannot limit file sizes here");
        const ProfileLockResult result = lock.TryLock();
        QCOMPARE(result, ProfileLockResult::Unwritable);
        QVERIFY(lock.RefusalText(result).startsWith(QStringLiteral("磁盘空间不足")));
        QVERIFY(lock.RefusalText(result).contains(folder.path()));
    }
    QCOMPARE(ProfileLock(folder.path()).TryLock(), ProfileLockResult::Locked);
}

// The folder holds the session cookies: a profile an earlier version left
// open to others is the owner's again at start, and so is the lock file.
void TestProfileLock::profileFolderUnderTheDataHome()
{
    const QString folder = BrowserProfileFolder();
    QVERIFY2(folder.startsWith(qEnvironmentVariable("XDG_DATA_HOME") + u'/'), qPrintable(folder));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ReadOther | QFile::ExeGroup));
    TightenDataFolders();
    ProfileLock lock;
    QCOMPARE(lock.TryLock(), ProfileLockResult::Locked);
    const auto owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    QCOMPARE(QFile::permissions(folder), owner | QFile::ExeOwner | QFile::ExeUser);
    QCOMPARE(QFile::permissions(folder + QStringLiteral("/lumetra-trades.lock")), owner);
}

LUMETRA_TEST_GUILESS_MAIN(TestProfileLock)
#include "TestProfileLock.moc"

#include "core/base/OwnerOnly.h"
#include "core/base/ProfileLock.h"
#include "support/TestSupport.h"

#include <QProcess>

class TestProfileLock : public QObject {
    Q_OBJECT
private slots:
    void secondRunRefusedWhileTheFirstHoldsIt();
    void lockOfAnEndedRunTakenOver();
    void profileFolderUnderTheDataHome();
};

void TestProfileLock::secondRunRefusedWhileTheFirstHoldsIt()
{
    QTemporaryDir folder;
    auto first = std::make_unique<ProfileLock>(folder.path());
    QVERIFY(first->TryLock());
    ProfileLock second(folder.path());
    QVERIFY(!second.TryLock());
    QCOMPARE(second.HolderPid(), QCoreApplication::applicationPid());
    first.reset();
    QVERIFY(second.TryLock());
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
    QVERIFY(next.TryLock());
    QCOMPARE(next.HolderPid(), QCoreApplication::applicationPid());
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
    QVERIFY(lock.TryLock());
    const auto owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    QCOMPARE(QFile::permissions(folder), owner | QFile::ExeOwner | QFile::ExeUser);
    QCOMPARE(QFile::permissions(folder + QStringLiteral("/lumetra-trades.lock")), owner);
}

LUMETRA_TEST_GUILESS_MAIN(TestProfileLock)
#include "TestProfileLock.moc"

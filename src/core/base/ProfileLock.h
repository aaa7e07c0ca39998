#pragma once
// One program at a time on the browser profile. The window and the
// unattended export both keep their login and cookies in the same profile
// folder; two engines writing it at once would corrupt it, so each run takes
// a lock file in that folder first and a second run is refused. A lock file
// that cannot be written (a full disk) is told as what it is: nothing else
// is running then.

#include "DataFolders.h"

#include <QLockFile>
#include <QString>

inline const char* const kProfileInUseText = "Lumetra交易数据提取软件已在运行（窗口或计划导出），它正在使用同"
                                             "一个浏览器登录资料。请等它结束或先关闭它，再重新启动。";

inline const char* const kProfileLockUnwritableText
    = "磁盘空间不足（或没有写入权限），无法在浏览器登录资料文件夹 %1 中建立锁文件。"
      "请腾出磁盘空间后重新启动。";

enum class ProfileLockResult {
    Locked, // this run now holds the profile
    InUse, // another program holds it
    Unwritable, // the lock file could not be made or written: a full disk, a read-only folder
};

class ProfileLock {
public:
    // The lock file inside folder (created when missing).
    explicit ProfileLock(const QString& folder = BrowserProfileFolder());
    // Takes the profile for this run. A lock left behind by a program that
    // has ended is taken over.
    [[nodiscard]] ProfileLockResult TryLock();
    // What the user is told when TryLock did not lock: kProfileInUseText, or
    // kProfileLockUnwritableText with the folder.
    QString RefusalText(ProfileLockResult result) const;
    // The process that holds the lock, for the refusal message; 0 when
    // unknown.
    qint64 HolderPid() const;

private:
    QString folder_;
    QLockFile lock_;
};

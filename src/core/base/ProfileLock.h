#pragma once
// One program at a time on the browser profile. The window and the
// unattended export both keep their login and cookies in the same profile
// folder; two engines writing it at once would corrupt it, so each run takes
// a lock file in that folder first and a second run is refused.

#include <QLockFile>
#include <QString>

// The folder of the persistent browser profile (cookies, storage), under the
// per-user data location.
QString BrowserProfileFolder();

inline const char* const kProfileInUseText = "Lumetra交易数据提取软件已在运行（窗口或计划导出），它正在使用同"
                                             "一个浏览器登录资料。请等它结束或先关闭它，再重新启动。";

class ProfileLock {
public:
    // The lock file inside folder (created when missing).
    explicit ProfileLock(const QString& folder = BrowserProfileFolder());
    // True when this run now holds the profile. A lock left behind by a
    // program that has ended is taken over.
    bool TryLock();
    // The process that holds the lock, for the refusal message; 0 when
    // unknown.
    qint64 HolderPid() const;

private:
    QLockFile lock_;
};

#pragma once
// Shared test set-up: every test process runs in a temporary home (settings,
// browser profile), offscreen, and may start the demo marketplace.

#if __has_include(<QApplication>)
#include <QApplication>
#endif
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <memory>

#include "core/base/Endpoints.h"
#include "core/settings/SettingsStore.h"
#include <unistd.h>

namespace testsupport {

// Stores a setting as an earlier run would have left it. A store that
// refuses ends the test run: every later check would read another setting.
inline void StoreSetting(const QString& key, const QString& value)
{
    if (const Done stored
        = SaveRegSetting(QString::fromLatin1(kSettingsApp), QString::fromLatin1(kSettingsSection), key, value);
        !stored)
        qFatal("setting %s not stored: %s", qPrintable(key), qPrintable(stored.reason));
}

// Points XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME and HOME at a fresh
// temporary folder that lives until the process ends.
inline QString UseTemporaryHome()
{
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/lumetra-test-XXXXXX"));
    const QByteArray path = home.path().toUtf8();
    qputenv("HOME", path);
    qputenv("XDG_CONFIG_HOME", path + "/config");
    qputenv("XDG_DATA_HOME", path + "/data");
    qputenv("XDG_CACHE_HOME", path + "/cache");
    qputenv("XDG_RUNTIME_DIR", path + "/runtime");
    QDir().mkpath(home.path() + QStringLiteral("/runtime"));
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Chromium refuses to run its sandbox as root; tests only.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --no-first-run --disable-background-networking");
    return home.path();
}

// Runs statements on the SQLite file at path through a connection of its
// own (to age or break a trade history behind its back).
inline bool RunSql(const QString& path, const QStringList& statements)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test"));
        db.setDatabaseName(path);
        ok = db.open() && std::all_of(statements.begin(), statements.end(), [&](const QString& sql) {
            return QSqlQuery(db).exec(sql);
        });
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test"));
    return ok;
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes bytes as the whole file, creating its folder; true when all went.
inline bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The built-in addresses with the trade detail pages on base.
inline Endpoints TradeHostAt(const QString& base)
{
    Endpoints endpoints = DefaultEndpoints();
    endpoints.tradeBase = base;
    return endpoints;
}

// "http://127.0.0.1:<port>" for a loopback port nobody listens on.
inline QString RefusedBase()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

// A stand-in update program in dir that writes its arguments, one a line,
// to update-args.txt beside itself (renamed into place once complete).
inline bool WriteStandInUpdater(const QString& dir)
{
    const QString path = dir + QStringLiteral("/update");
    if (!WriteFile(path,
            "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname "
            "\"$0\")/update-args.tmp\"\n"
            "mv \"$(dirname \"$0\")/update-args.tmp\" \"$(dirname \"$0\")/update-args.txt\"\n"))
        return false;
    return QFile::setPermissions(
        path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

// Under CI (CI=true in the environment) a test that needs the demo
// marketplace fails when it is missing or does not start: a skip counts as a
// pass, and CI must not go green without one end-to-end run. Elsewhere the
// test is skipped, so a build without the demo still runs the rest.
inline bool DemoRequired()
{
    return qEnvironmentVariable("CI") == QLatin1String("true");
}

// A running demo marketplace on a free loopback port, stopped on destruction.
class DemoMarket {
public:
    explicit DemoMarket(const QStringList& extraArgs = {})
    {
        const QString program = qEnvironmentVariable("LUMETRA_DEMO_MARKET");
        if (program.isEmpty())
            return;
        process_.setProgram(program);
        process_.setArguments(QStringList { QStringLiteral("--port"), QStringLiteral("0") } + extraArgs);
        // A market that logs its requests keeps them for RequestLog().
        process_.setProcessChannelMode(extraArgs.contains(QStringLiteral("--log-requests"))
                ? QProcess::SeparateChannels
                : QProcess::ForwardedErrorChannel);
        process_.start();
        if (!process_.waitForStarted(10000))
            return;
        // The first line on standard output is the base address.
        QByteArray line;
        QElapsedTimer timer;
        timer.start();
        while (!line.contains('\n') && timer.elapsed() < 15000) {
            if (process_.waitForReadyRead(500))
                line += process_.readAllStandardOutput();
            if (process_.state() != QProcess::Running)
                break;
        }
        base_ = QString::fromUtf8(line.left(line.indexOf('\n'))).trimmed();
    }
    ~DemoMarket()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(3000))
                process_.kill();
            process_.waitForFinished(3000);
        }
    }
    bool ok() const { return !base_.isEmpty(); }
    // Ends the market now, as a marketplace that went away: its port
    // refuses connections from here on.
    void Stop()
    {
        process_.terminate();
        if (!process_.waitForFinished(3000))
            process_.kill();
        process_.waitForFinished(3000);
    }
    // For example "http://127.0.0.1:41234".
    QString base() const { return base_; }
    QString url(const QString& path) const { return base_ + path; }
    // "GET /path?query" lines so far, with "--log-requests".
    QStringList RequestLog()
    {
        // What the market wrote while no event loop ran is read here.
        process_.setReadChannel(QProcess::StandardError);
        while (process_.waitForReadyRead(300))
            log_ += process_.readAllStandardError();
        log_ += process_.readAllStandardError();
        return QString::fromUtf8(log_).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    QProcess process_;
    QString base_;
    QByteArray log_;
};

} // namespace testsupport

// Like QTEST_MAIN / QTEST_GUILESS_MAIN, with the temporary home set first.
#define LUMETRA_TEST_MAIN(TestObject)                                                                        \
    int main(int argc, char* argv[])                                                                         \
    {                                                                                                        \
        testsupport::UseTemporaryHome();                                                                     \
        QApplication app(argc, argv);                                                                        \
        TestObject tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }

#define LUMETRA_TEST_GUILESS_MAIN(TestObject)                                                                \
    int main(int argc, char* argv[])                                                                         \
    {                                                                                                        \
        testsupport::UseTemporaryHome();                                                                     \
        QCoreApplication app(argc, argv);                                                                    \
        TestObject tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }

// Ends the test function when the demo marketplace is not there: a failure
// under CI, a skip elsewhere (testsupport::DemoRequired).
#define SKIP_OR_FAIL_WITHOUT_DEMO(why)                                                                       \
    do {                                                                                                     \
        if (testsupport::DemoRequired())                                                                     \
            QFAIL(why " (CI=true: the demo marketplace is required)");                                       \
        QSKIP(why);                                                                                          \
    } while (false)

// A failure the tool carries on after reaches the per-user log file, and
// the file stays within its cap.

#include "support/TestSupport.h"

#include "core/base/Logging.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <memory>
#include <vector>

// The category the browser engine reports its graphics set-up in.
Q_LOGGING_CATEGORY(lcEngineContext, "qt.webenginecontext")

class TestLogging : public QObject {
    Q_OBJECT
private slots:
    void warningReachesTheLogFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("logs/lumetra-trades.log"));
        {
            const LogFile logFile(path);
            QVERIFY(logFile.IsOpen());
            qCWarning(lcGrid) << "row 99 left out";
        }
        // Buyers' order numbers are logged: the file is the owner's alone.
        QVERIFY(!(QFileInfo(path).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));

        QFile log(path);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        QVERIFY2(text.contains(" warning lumetra.grid: row 99 left out"), text.constData());
    }

    void fullLogMovesAsideAndStartsAgain()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lumetra-trades.log"));
        constexpr qint64 kCap = 4096;
        {
            const LogFile logFile(path, kCap);
            QVERIFY(logFile.IsOpen());
            for (int i = 0; i < 200; ++i)
                qCWarning(lcWeb) << "gave up fetching" << i;
        }

        QVERIFY(QFile::exists(path + QStringLiteral(".1")));
        QVERIFY(QFileInfo(path).size() <= kCap);
        QFile log(path);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("lumetra.web: gave up fetching 199"));
    }

    // The unattended run's standard error is read in cron mail: the browser
    // engine's start-up lines go to the file only; the tool's own go there
    // too only when asked (--verbose); critical ones always.
    void engineDiagnosticsOnlyInTheFile_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("told");
        QTest::newRow("verbose") << int(StandardErrorMessages::OwnOnly)
                                 << QStringList { QStringLiteral("grid step skipped"), QStringLiteral("no codec") };
        QTest::newRow("seller's lines only")
            << int(StandardErrorMessages::CriticalOnly) << QStringList { QStringLiteral("no codec") };
    }
    void engineDiagnosticsOnlyInTheFile()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, told);
        static QStringList toStandardError;
        toStandardError.clear();
        const QtMessageHandler outer
            = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
                  toStandardError.append(message);
              });
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lumetra-trades.log"));
        {
            const LogFile logFile(path, LogFile::kDefaultMaxBytes, StandardErrorMessages(mode));
            qCWarning(lcEngineContext) << "GL Type: disabled";
            qWarning("Sandboxing disabled by user.");
            qCWarning(lcGrid) << "grid step skipped";
            qCCritical(lcText) << "no codec";
        }
        qInstallMessageHandler(outer);
        QCOMPARE(toStandardError, told);
        const QByteArray text = testsupport::ReadFile(path);
        for (const char* line : { "qt.webenginecontext: GL Type: disabled",
                 "default: Sandboxing disabled by user.", "lumetra.grid: grid step skipped", "lumetra.text: no codec" })
            QVERIFY2(text.contains(line), text.constData());
    }

    void linesFromOtherThreadsStayWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lumetra-trades.log"));
        constexpr int kThreads = 4;
        constexpr int kLines = 300;
        {
            const LogFile logFile(path);
            std::vector<std::unique_ptr<QThread>> threads;
            for (int t = 0; t < kThreads; ++t) {
                threads.emplace_back(QThread::create([t] {
                    for (int i = 0; i < kLines; ++i)
                        qCWarning(lcWeb).nospace() << "thread " << t << " line " << i << " end";
                }));
                threads.back()->start();
            }
            for (auto& thread : threads)
                QVERIFY(thread->wait(30000));
        }
        const QList<QByteArray> lines = testsupport::ReadFile(path).split('\n');
        const auto ours = [](const QByteArray& line) { return line.contains("lumetra.web: thread "); };
        QCOMPARE(int(std::count_if(lines.begin(), lines.end(), ours)), kThreads * kLines);
        for (const QByteArray& line : lines)
            QVERIFY2(!ours(line) || (line.endsWith(" end") && line.count("thread") == 1), line.constData());
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestLogging)
#include "TestLogging.moc"

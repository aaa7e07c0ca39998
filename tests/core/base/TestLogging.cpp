// A failure the tool carries on after reaches the per-user log file, and
// the file stays within its cap.

#include "support/TestSupport.h"

#include "core/base/Logging.h"
#include "core/grid/GridSteps.h"
#include "core/grid/TradeGrid.h"

#include <QFile>
#include <QTemporaryDir>

class TestLogging : public QObject {
    Q_OBJECT
private slots:
    void skippedGridStepReachesTheLogFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("logs/lumetra-trades.log"));
        QVERIFY(InstallLogFile(path));
        TradeGrid grid;
        SetCellIfInside(grid, 99, 99, QStringLiteral("x"));
        InstallLogFile(QString());

        QFile log(path);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        QVERIFY2(text.contains(" warning lumetra.grid: grid step skipped:"), text.constData());
    }

    void fullLogMovesAsideAndStartsAgain()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lumetra-trades.log"));
        constexpr qint64 kCap = 4096;
        QVERIFY(InstallLogFile(path, kCap));
        for (int i = 0; i < 200; ++i)
            qCWarning(lcWeb) << "gave up fetching" << i;
        InstallLogFile(QString());

        QVERIFY(QFile::exists(path + QStringLiteral(".1")));
        QVERIFY(QFileInfo(path).size() <= kCap);
        QFile log(path);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("lumetra.web: gave up fetching 199"));
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestLogging)
#include "TestLogging.moc"

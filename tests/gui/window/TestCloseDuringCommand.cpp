// Closing the main window while a command writes the user's file: the
// program ends without leaving temporary files beside that file or in the
// temporary folder. Its own executable: once the application has been told
// to quit, no event loop of the process runs again.

#include "core/base/Endpoints.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"
#include "core/session/RunContext.h"
#include "gui/browser/BrowserProfile.h"
#include "gui/window/MainWindow.h"
#include "support/ExportTestSupport.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

// Closes the window at the export's second progress step: its file and
// its scratch workbook are open by then.
class ClosingProgressView : public RecordingProgressView {
public:
    explicit ClosingProgressView(QWidget* window)
        : window_(window)
    {
    }
    void PaintBar(double fraction) override
    {
        RecordingProgressView::PaintBar(fraction);
        if (paints == 2)
            window_->close();
    }

private:
    QWidget* window_;
};

} // namespace

class TestCloseDuringCommand : public QObject {
    Q_OBJECT
private slots:
    void closingDuringExportLeavesNoTemporaryFiles_data();
    void closingDuringExportLeavesNoTemporaryFiles();
};

void TestCloseDuringCommand::closingDuringExportLeavesNoTemporaryFiles_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("workbook") << QStringLiteral("发货.xlsx");
    QTest::newRow("csv") << QStringLiteral("发货.csv");
}

void TestCloseDuringCommand::closingDuringExportLeavesNoTemporaryFiles()
{
    QFETCH(QString, fileName);
    QTemporaryDir temporaryFolder;
    QTemporaryDir userFolder;
    qputenv("TMPDIR", QFile::encodeName(temporaryFolder.path()));
    QCOMPARE(QDir::tempPath(), QDir(temporaryFolder.path()).canonicalPath());
    Endpoints offline = DefaultEndpoints();
    offline.startUrl = QStringLiteral("about:blank");
    offline.updateUrl = testsupport::RefusedBase() + QStringLiteral("/download?ID=");
    standin::RecordingPrompt prompt;
    RunContext run(RunServices { .prompt = &prompt, .endpoints = offline });
    BrowserProfile profile(run.fetcher);

    standin::ScriptedSaveDialog dialog(userFolder.filePath(fileName));
    MainWindow window(run, profile, { .saveDialog = &dialog });
    window.show();
    TradeGrid& grid = window.Session().Grid();
    for (int i = 0; i < 50; ++i) {
        const int r = grid.Rows();
        grid.SetRows(r + 1);
        grid.SetTextMatrix(r, ColOrderNumber, QStringLiteral("%1").arg(3671751574636758LL + i));
        grid.SetTextMatrix(r, ColRecipient, QStringLiteral("收件人%1").arg(i));
    }
    ClosingProgressView progress(&window);
    run.progress.SetView(&progress);

    window.Run(Command::Export);

    QCOMPARE(dialog.asked, 1);
    QVERIFY(!window.isVisible());
    QVERIFY(!window.Session().Busy());
    // The file is there complete or not at all; nothing else is.
    const QStringList left = exporttest::Entries(userFolder.path());
    QVERIFY2(left.isEmpty() || left == QStringList { fileName }, qPrintable(left.join(u' ')));
    const QStringList scratch = exporttest::Entries(temporaryFolder.path()).filter(QStringLiteral("lumetra"));
    QVERIFY2(scratch.isEmpty(), qPrintable(scratch.join(u' ')));
    run.progress.SetView(nullptr);
}

LUMETRA_TEST_MAIN(TestCloseDuringCommand)
#include "TestCloseDuringCommand.moc"

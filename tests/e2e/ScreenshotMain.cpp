// Runs the tool against the demo marketplace as on a first start (the
// window's own size and place, Qt's Chinese texts), logs in, extracts every
// page (pages of several shapes, so the findings pane under the grid has
// lines and the grid tinted cells), opens the export's save dialog and saves
// a picture of the whole screen: lumetra-screenshot OUTPUT.png
// Needs LUMETRA_DEMO_MARKET (the demo binary) and a display (xvfb-run).

#include "E2eSupport.h"
#include "support/TestSupport.h"

#include "core/base/UserPrompt.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"
#include "core/settings/SettingsStore.h"
#include "gui/i18n/QtTranslations.h"

#include <QApplication>
#include <QFileDialog>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[])
{
    testsupport::UseTemporaryHome();
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshot.png");
    InstallQtChineseTranslations(app);
    // A seller's home has a documents folder; the save dialog opens there.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));

    testsupport::DemoMarket market(
        { "--pages", "3", "--per-page", "8", "--seed", "5", "--nick", "演示小店", "--misshape" });
    if (!market.ok()) {
        std::fprintf(stderr, "demo marketplace did not start (LUMETRA_DEMO_MARKET)\n");
        return 2;
    }
    SilentPrompt prompt;
    // A wider grid than the design's, as a seller would drag it.
    testsupport::StoreSetting(QStringLiteral("Split_Top_1"), QStringLiteral("0.55"));
    RecordingProgressView progress; // no progress window in the picture
    e2e::WindowRun windowRun(RunServices {
        .prompt = &prompt, .endpoints = e2e::DemoEndpoints(market.base()), .progressView = &progress });
    MainWindow& window = windowRun.Open();
    window.show();
    if (!e2e::LogIn(window, market.base(), windowRun.run.fetcher.CookieJar()) || !e2e::OpenSoldItems(window)) {
        std::fprintf(stderr, "could not log in or open the sold-items list\n");
        return 3;
    }
    window.Run(Command::ExtractAll);
    // Let the browser paint the last page, then export: the picture is taken
    // while the save dialog is up, and the dialog is cancelled after.
    WaitSeconds(2);
    QPixmap picture;
    QTimer poll;
    poll.setInterval(200);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll.stop();
        WaitSeconds(1);
        picture = window.screen()->grabWindow(0);
        dialog->reject();
    });
    poll.start();
    window.Run(Command::Export);
    if (picture.isNull() || !picture.save(output)) {
        std::fprintf(stderr, "cannot take or write %s\n", qPrintable(output));
        return 4;
    }
    std::printf("%s %d rows\n", qPrintable(output), window.Session().Grid().Rows() - window.Session().Grid().FixedRows());
    windowRun.run.progress.SetView(nullptr);
    return 0;
}

// Runs the tool against the demo marketplace, logs in, extracts every page
// and saves a picture of the main window: lumetra-screenshot OUTPUT.png
// Needs LUMETRA_DEMO_MARKET (the demo binary) and a display (xvfb-run).

#include "E2eSupport.h"
#include "support/TestSupport.h"

#include "core/base/UserPrompt.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"
#include "core/settings/SettingsStore.h"

#include <QApplication>
#include <QPixmap>
#include <cstdio>

int main(int argc, char* argv[])
{
    testsupport::UseTemporaryHome();
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshot.png");

    testsupport::DemoMarket market(
        { "--pages", "3", "--per-page", "8", "--seed", "5", "--nick", "演示小店" });
    if (!market.ok()) {
        std::fprintf(stderr, "demo marketplace did not start (LUMETRA_DEMO_MARKET)\n");
        return 2;
    }
    SetEndpoints(e2e::DemoEndpoints(market.base()));
    RecordingProgressView progress; // no progress window in the picture
    SetProgressView(&progress);

    // A wider grid than the design's, as a seller would drag it.
    SaveRegSetting(QString::fromLatin1(kSettingsApp), QString::fromLatin1(kSettingsSection),
        QStringLiteral("Split_Top_1"), QStringLiteral("0.55"));
    MainWindow window;
    window.SetProgramEnder([] {});
    window.resize(1280, 760);
    window.show();
    if (!e2e::LogIn(window, market.base()) || !e2e::OpenSoldItems(window)) {
        std::fprintf(stderr, "could not log in or open the sold-items list\n");
        return 3;
    }
    window.Com_Click(5);
    // Let the browser paint the last page before taking the picture.
    WaitSeconds(2);
    if (!window.grab().save(output)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
        return 4;
    }
    std::printf("%s %d rows\n", qPrintable(output), window.Grid().Rows() - window.Grid().FixedRows());
    SetProgressView(nullptr);
    return 0;
}

#include "core/base/Endpoints.h"
#include "core/base/Logging.h"
#include "core/base/UserPrompt.h"
#include "core/progress/Progress.h"
#include "core/recovery/GridRecovery.h"
#include "core/settings/DetailDownloadSetting.h"
#include "gui/dialogs/MessageBoxPrompt.h"
#include "gui/i18n/QtTranslations.h"
#include "gui/progress/IndicatorForm.h" // IndicatorWindow::Form() needs the complete type
#include "gui/progress/IndicatorWindow.h"
#include "gui/window/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>

namespace {

// The marketplace and update addresses; options replace the built-in ones
// (the demo marketplace, tests).
Endpoints EndpointsFromOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lumetra Trades\n\nLog file: %1").arg(DefaultLogFilePath()));
    parser.addHelpOption();
    const QCommandLineOption startUrl(QStringLiteral("start-url"),
        QStringLiteral("Address the browser opens first (the login page)."), QStringLiteral("URL"));
    const QCommandLineOption tradeBase(QStringLiteral("trade-base"),
        QStringLiteral("Scheme and host of the trade detail pages."), QStringLiteral("URL"));
    const QCommandLineOption updateUrl(QStringLiteral("update-url"),
        QStringLiteral("Download-page address up to and including \"ID=\"."), QStringLiteral("URL"));
    const QCommandLineOption detailDownloads(QStringLiteral("detail-downloads"),
        QStringLiteral("Trade detail pages downloaded at once, 1 to 6, for this run (the stored "
                       "DetailDownloads setting otherwise, default 4)."),
        QStringLiteral("N"));
    parser.addOptions({ startUrl, tradeBase, updateUrl, detailDownloads });
    parser.process(app);
    if (parser.isSet(detailDownloads)) {
        const auto limit = DetailDownloadsFromText(parser.value(detailDownloads));
        if (!limit) {
            std::fprintf(
                stderr, "--detail-downloads needs a whole number from 1 to %d\n", kMaxDetailDownloads);
            std::exit(2);
        }
        SetDetailDownloadOverride(limit);
    }

    Endpoints endpoints = DefaultEndpoints();
    if (parser.isSet(startUrl))
        endpoints.startUrl = parser.value(startUrl);
    if (parser.isSet(tradeBase))
        endpoints.tradeBase = parser.value(tradeBase);
    if (parser.isSet(updateUrl))
        endpoints.updateUrl = parser.value(updateUrl);
    return endpoints;
}

// Help needs no display: it is answered before the GUI starts.
bool WantsConsoleOnly(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-?")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (WantsConsoleOnly(argc, argv)) {
        QCoreApplication console(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("lumetra-trades"));
        EndpointsFromOptions(console); // prints the help and exits
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumetra-trades"));
    InstallLogFile(DefaultLogFilePath());
    InstallQtChineseTranslations(app);
    // No application display name: on X11 it would be appended to every
    // window title, the progress window's "进度指示器" among them.
    SetEndpoints(EndpointsFromOptions(app));

    // The progress window and the message boxes must be in place before the
    // main window starts up: restoring a checked filter box already runs a
    // command that shows progress.
    IndicatorWindow indicator;
    SetProgressView(&indicator);
    MessageBoxPrompt prompt(nullptr, QString::fromUtf8(kMainWindowCaption));
    SetUserPrompt(&prompt);

    MainWindow window;
    prompt.SetParent(&window);
    window.show();
    // The grid a crashed run left is offered before anything saves over it.
    GridRecovery recovery(GridRecovery::DefaultFolder());
    if (StartGridRecovery(recovery, window.Grid()) == RecoveryOffer::Restored)
        window.Com_Click(-1); // only refreshes the total
    const int result = app.exec();
    EndGridCheckpointsCleanly();
    SetUserPrompt(nullptr);
    SetProgressView(nullptr);
    return result;
}

#include "core/base/Endpoints.h"
#include "core/base/Logging.h"
#include "core/base/MemoryRelease.h"
#include "core/base/OwnerOnly.h"
#include "core/base/ProfileLock.h"
#include "core/batch/BatchOptions.h"
#include "core/batch/CommandLineWords.h"
#include "core/batch/ConsoleReport.h"
#include "core/recovery/GridRecovery.h"
#include "core/session/RunFactory.h"
#include "core/text/AnsiCodec.h"
#include "gui/batch/BatchRunner.h"
#include "gui/browser/BrowserProfile.h"
#include "gui/dialogs/MessageBoxPrompt.h"
#include "gui/grid/TradeGridView.h"
#include "gui/grid/WidgetTextMeasurer.h"
#include "gui/i18n/QtTranslations.h"
#include "gui/progress/IndicatorForm.h" // IndicatorWindow::Form() needs the complete type
#include "gui/progress/IndicatorWindow.h"
#include "gui/window/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <optional>

namespace {

// What the command line chose: the marketplace and update addresses, whose
// options replace the built-in ones (the demo marketplace, tests), and the
// unattended export's options.
struct ChosenOptions {
    Endpoints endpoints;
    BatchOptions batch;
};

// None when the options cannot be used (said on standard error): the
// program then ends with status 1.
std::optional<ChosenOptions> OptionsOfCommandLine(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lumetra 交易数据提取\n\n日志文件：%1").arg(DefaultLogFilePath()));
    parser.addHelpOption();
    const QCommandLineOption startUrl(QStringLiteral("start-url"),
        QStringLiteral("浏览器首先打开的地址（登录页）；与 --export 一起用时为“已卖出的宝贝”列表的地址。"),
        QStringLiteral("URL"));
    const QCommandLineOption tradeBase(QStringLiteral("trade-base"),
        QStringLiteral("交易详情页的协议和主机。"), QStringLiteral("URL"));
    const QCommandLineOption updateUrl(QStringLiteral("update-url"),
        QStringLiteral("下载页的地址，到“ID=”为止（含“ID=”）。"), QStringLiteral("URL"));
    parser.addOptions({ startUrl, tradeBase, updateUrl });
    AddBatchOptions(parser);
    parser.process(app);
    const BatchOptionsRead batchOptions = ReadBatchOptions(parser);
    if (!batchOptions) {
        std::fprintf(stderr, "%s\n", qPrintable(batchOptions.reason));
        return std::nullopt;
    }
    Endpoints endpoints = DefaultEndpoints();
    if (parser.isSet(startUrl))
        endpoints.startUrl = parser.value(startUrl);
    if (parser.isSet(tradeBase))
        endpoints.tradeBase = parser.value(tradeBase);
    if (parser.isSet(updateUrl))
        endpoints.updateUrl = parser.value(updateUrl);
    return ChosenOptions { std::move(endpoints), batchOptions.value };
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

// --help and its kin, answered before any display is needed. Prints the
// help; a bad option ends with status 1.
int AnswerHelp(int argc, char* argv[])
{
    QCoreApplication console(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lumetra-trades"));
    CommandLineWords words;
    QCoreApplication::installTranslator(&words);
    return OptionsOfCommandLine(console) ? 0 : 1;
}

// What must be chosen before the application object exists: the platform
// of a run without a window, the browser's locale (read once, when the
// engine starts) and how large blocks are taken, so a long walk's memory
// stays flat.
void PrepareProcess(bool unattended)
{
    if (unattended)
        UseOffscreenPlatformWithoutDisplay();
    UseChineseBrowserLocale();
    KeepLargeBlocksOffTheHeap();
}

// The unattended run's standard error holds the seller's lines; the log's
// own reach it only with --verbose. The window's run shows them all.
StandardErrorMessages LogLinesOnStandardError(bool unattended, int argc, char* argv[])
{
    if (!unattended)
        return StandardErrorMessages::All;
    return IsVerboseRun(argc, argv) ? StandardErrorMessages::OwnOnly : StandardErrorMessages::CriticalOnly;
}

// The unattended export, once the profile is this run's alone.
int RunUnattended(const ChosenOptions& chosen, Settings settings, const ProfileLock& profileLock,
    ProfileLockResult profile)
{
    ConsoleReport report = ConsoleReport::ForStandardError();
    if (profile != ProfileLockResult::Locked) {
        report.Line(profileLock.RefusalText(profile));
        return 1;
    }
    return RunUnattendedExport(chosen.batch, chosen.endpoints, std::move(settings), report);
}

// The window's run: the recovery offer first, then the event loop until the
// window closes.
int RunWindow(QApplication& app, const ChosenOptions& chosen, Settings settings, const ProfileLock& profileLock,
    ProfileLockResult profile)
{
    // The progress window and the message boxes must be in place before the
    // main window starts up: restoring a checked filter box already runs a
    // command that shows progress.
    MessageBoxPrompt prompt(nullptr, QString::fromUtf8(kMainWindowCaption));
    IndicatorWindow indicator;
    if (profile != ProfileLockResult::Locked) {
        prompt.ShowMessage(profileLock.RefusalText(profile));
        return 1;
    }
    const WidgetTextMeasurer measurer(TradeGridFont());
    // The grid a crashed run left is offered before anything saves over it.
    GridRecovery recovery(GridRecovery::DefaultFolder());
    OpenedRun opened(RunPlan { .prompt = &prompt,
                         .endpoints = chosen.endpoints,
                         .measurer = &measurer,
                         .checkpoint = &recovery,
                         .progressView = &indicator,
                         .detailDownloads = chosen.batch.detailDownloads,
                         .networkWait = WaitUntilStopped(),
                         .noHistory = chosen.batch.noHistory },
        std::move(settings));
    BrowserProfile browserProfile(opened.Run().fetcher);
    MainWindow window(opened.Run(), browserProfile);
    prompt.SetParent(&window);
    window.show();
    window.OfferRecovery();
    const int result = app.exec();
    window.Session().EndCheckpoints();
    prompt.SetParent(nullptr);
    return result;
}

} // namespace

// What lives for the whole process is made here, in this order, and goes in
// the reverse one: the log file, the application, then the run. The log
// comes first so that it holds what the application and the browser engine
// say as they start.
int main(int argc, char* argv[])
{
    if (WantsConsoleOnly(argc, argv))
        return AnswerHelp(argc, argv);
    const bool unattended = IsBatchRun(argc, argv);
    PrepareProcess(unattended);
    QCoreApplication::setApplicationName(QStringLiteral("lumetra-trades"));
    const LogFile log(
        DefaultLogFilePath(), LogFile::kDefaultMaxBytes, LogLinesOnStandardError(unattended, argc, argv));
    QApplication app(argc, argv);
    // No application display name: on X11 it would be appended to every
    // window title, the progress window's "进度指示器" among them.
    QApplication::setApplicationName(QStringLiteral("lumetra-trades"));
    // Every page and export needs the GBK converter.
    if (const Done codec = AnsiCodecReady(); !codec) {
        qCCritical(lcText).noquote() << codec.reason; // standard error and the log file
        return 1;
    }
    InstallQtChineseTranslations(app);
    CommandLineWords words; // installed last, so asked first
    QCoreApplication::installTranslator(&words);
    const std::optional<ChosenOptions> chosen = OptionsOfCommandLine(app);
    if (!chosen)
        return 1;
    // The settings are read once, here, for the whole run.
    Settings settings = Settings::Read();
    // Folders an earlier version made readable to others become the owner's.
    TightenDataFolders();
    ProfileLock profileLock;
    const ProfileLockResult profile = profileLock.TryLock();
    if (unattended)
        return RunUnattended(*chosen, std::move(settings), profileLock, profile);
    return RunWindow(app, *chosen, std::move(settings), profileLock, profile);
}

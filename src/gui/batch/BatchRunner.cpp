#include "BatchRunner.h"

#include "core/base/Endpoints.h"
#include "core/base/EventWait.h"
#include "core/batch/ConsolePrompt.h"
#include "core/batch/ConsoleReport.h"
#include "core/grid/GridSetup.h"
#include "core/session/CommandSession.h"
#include "core/session/RunFactory.h"
#include "gui/browser/BrowserProfile.h"
#include "gui/browser/WebBrowser.h"
#include "gui/grid/TradeGridView.h"
#include "gui/grid/WidgetTextMeasurer.h"
#include "gui/window/BrowserLoadWatch.h"
#include "print/PdfDocumentPrinter.h"

#include <QElapsedTimer>
#include <QWebEngineLoadingInfo>
#include <QtGlobal>

void UseOffscreenPlatformWithoutDisplay()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
}

ListPageArrival OpenListPage(WebBrowser& browser, const QString& address, int timeoutMs)
{
    ListPageArrival arrival;
    int started = 0;
    int ended = 0;
    const auto connection = QObject::connect(
        browser.page(), &QWebEnginePage::loadingChanged, [&](const QWebEngineLoadingInfo& info) {
            if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
                ++started;
                return;
            }
            ended = started;
            const bool loaded = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
            arrival.reason = loaded ? QString()
                : info.errorString().isEmpty() ? QStringLiteral("加载失败")
                                               : info.errorString();
        });
    browser.Navigate2(address);
    const auto settled = [&] { return started > 0 && ended == started; };
    QElapsedTimer clock;
    clock.start();
    // A page that has finished may still hand over to the next one (the
    // login check of a marketplace page is often a script); only a page that
    // stays counts as where the address ended.
    while (WaitUntil(settled, timeoutMs - int(clock.elapsed()))) {
        const int seen = started;
        if (!WaitUntil([&] { return started != seen; }, kListSettleMs))
            break;
    }
    QObject::disconnect(connection);
    if (!settled()) {
        arrival.reason = QStringLiteral("%1 秒内没有打开").arg(timeoutMs / 1000);
    }
    arrival.url = browser.url();
    arrival.title = browser.title();
    return arrival;
}

int RunUnattendedExport(
    const BatchOptions& options, const Endpoints& endpoints, Settings settings, ConsoleReport& report)
{
    ConsolePrompt prompt(report);
    const WidgetTextMeasurer measurer(TradeGridFont());
    OpenedRun opened(RunPlan { .prompt = &prompt,
                         .endpoints = endpoints,
                         .measurer = &measurer,
                         .checkpoint = nullptr,
                         .detailDownloads = options.detailDownloads,
                         .networkWait = WaitForSeconds(options.networkWaitSeconds),
                         .noHistory = options.noHistory },
        std::move(settings));
    RunContext& run = opened.Run();

    BatchResult result;
    QString historyTrouble;
    {
        BrowserProfile profile(run.fetcher);
        WebBrowser browser(profile); // never shown
        BrowserLoadWatch nextPage(&browser);
        CommandSession session(run, browser, nextPage, nullptr, BatchSessionHooks(options, run.settings, report));
        const QString listUrl = options.listUrl.isEmpty() ? run.endpoints.soldItemsUrl : options.listUrl;
        const ListPageArrival arrival = OpenListPage(browser, listUrl);
        PdfDocumentPrinter printer;
        BatchOptions withPaper = options;
        withPaper.slipPaper = options.slipPaper.value_or(run.settings.PackingSlipPaper());
        result = ExportFromListPage(session, browser, arrival, withPaper, report, &printer);
        // Also when no command ran (a page refused before the walk).
        historyTrouble = session.UntoldHistoryTrouble();
    }
    // Told, but the sheet decides the status: the history is only a cache.
    if (!historyTrouble.isEmpty())
        report.Line(historyTrouble);
    report.Line(result.closingLine);
    return result.exitStatus;
}

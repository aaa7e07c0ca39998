// Extract-all in the real window (the real browser and progress window) on
// the demo marketplace with slow detail pages: 10 pages of 20 trades,
// 300 ms per detail page, once with one detail download at a time and once
// with four. For each it prints the wall time, the floor (a one-second
// pause per page, the detail pages' latency divided by the downloads in
// flight, and the list-page loads as measured), their ratio, the
// page-by-page floor (the same without the list-page loads: what a walk
// that reads a page only after the last one's details costs when the loads
// hide behind the downloads), the floor when the pause overlaps the
// downloads (as it does), and the CPU the tool's processes (the program
// and its browser engine processes, not the demo marketplace) spent per
// page. "--slow-list-page N" has the marketplace answer list page N
// 2.5 s late: a walk that opens the next page while the details download
// hides it. bench/walk_memory.sh runs "--memory N" under a virtual X
// display, where the window really paints.

#include "E2eSupport.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

#include "core/base/MemoryRelease.h"
#include "core/grid/TradeGrid.h"
#include "core/history/TradeHistory.h"
#include "core/progress/Progress.h"
#include "core/recovery/GridRecovery.h"
#include "core/session/Commands.h"
#include "core/settings/DetailDownloadSetting.h"
#include "gui/browser/BrowserProfile.h"
#include "gui/progress/IndicatorForm.h"
#include "gui/progress/IndicatorWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QEventLoop>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// The shop walked; "--pages P --per-page T --latency-ms L" change it.
int kPages = 10;
int kPerPage = 20;
int kLatencyMs = 300;
QString kSeed = QStringLiteral("3");
const QString kListPath = QStringLiteral("/trade/itemlist/list_sold_items.htm");

void Print(const char* name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

struct ProcStat {
    qint64 ppid = 0;
    qint64 ticks = 0; // user + system
    qint64 residentPages = 0;
    QByteArray name;
};

bool ReadProcStat(qint64 pid, ProcStat& stat)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = file.readAll();
    const qsizetype open = line.indexOf('('), close = line.lastIndexOf(')');
    if (open < 0 || close < 0)
        return false;
    stat.name = line.mid(open + 1, close - open - 1);
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // After the name: state ppid … utime (field 14) stime (15), counted from 1.
    if (fields.size() < 13)
        return false;
    stat.ppid = fields.at(1).toLongLong();
    stat.ticks = fields.at(11).toLongLong() + fields.at(12).toLongLong();
    stat.residentPages = fields.value(21).toLongLong();
    return true;
}

// CPU seconds of this process and its descendants, leaving out the demo
// marketplace, which stands for the remote marketplace.
// What the tool's processes (this one and its browser engine's, not the
// demo marketplace) hold: CPU seconds, and resident memory in MB.
struct ToolUse {
    double cpuSeconds = 0;
    double residentMb = 0;
};
ToolUse ToolProcesses();

double ToolCpuSeconds()
{
    return ToolProcesses().cpuSeconds;
}

ToolUse ToolProcesses()
{
    QHash<qint64, ProcStat> all;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        ProcStat stat;
        if (ok && ReadProcStat(pid, stat))
            all.insert(pid, stat);
    }
    const qint64 self = getpid();
    qint64 ticks = 0;
    qint64 resident = 0;
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        bool ours = false;
        for (qint64 pid = it.key(); pid > 1 && all.contains(pid); pid = all.value(pid).ppid) {
            if (all.value(pid).name.startsWith("lumetra-demo"))
                break;
            if (pid == self) {
                ours = true;
                break;
            }
        }
        if (ours) {
            ticks += it.value().ticks;
            resident += it.value().residentPages;
        }
    }
    return { double(ticks) / double(sysconf(_SC_CLK_TCK)),
        double(resident) * double(sysconf(_SC_PAGESIZE)) / 1048576.0 };
}

// Sums the time from each list-page load's start to its end.
class LoadTimer {
public:
    explicit LoadTimer(WebBrowser& browser)
    {
        QObject::connect(&browser, &QWebEngineView::loadStarted, &browser, [this] { clock_.start(); });
        QObject::connect(&browser, &QWebEngineView::loadFinished, &browser, [this] {
            if (clock_.isValid())
                totalMs_ += clock_.elapsed();
            clock_.invalidate();
        });
    }
    void Reset() { totalMs_ = 0; }
    double Seconds() const { return double(totalMs_) / 1000.0; }

private:
    QElapsedTimer clock_;
    qint64 totalMs_ = 0;
};

struct WalkFigures {
    double wallSeconds = 0;
    double floorSeconds = 0;
    double pageByPageFloorSeconds = 0;
    double overlappedFloorSeconds = 0;
    double cpuSeconds = 0;
    int rows = 0;
    QStringList cells; // the grid after the walk, every cell
};

QStringList GridCells(const TradeGrid& grid)
{
    QStringList cells;
    for (int row = 0; row < grid.Rows(); ++row)
        for (int col = 0; col < grid.Cols(); ++col)
            cells.append(grid.TextMatrix(row, col));
    return cells;
}

// Resident memory of this process (the program with its browser's own
// process; the engine's helper processes are apart), in MB.
double ResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// Resident memory of the allocator's main heap (the "[heap]" segment), in MB.
double HeapSegmentMb()
{
    QFile maps(QStringLiteral("/proc/self/smaps"));
    if (!maps.open(QIODevice::ReadOnly))
        return 0;
    // A mapping's first line starts with its address range, its fields with
    // a name and a colon.
    bool inHeap = false;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QByteArray first = line.left(line.indexOf(' '));
        if (!first.endsWith(':'))
            inHeap = line.endsWith("[heap]");
        else if (inHeap && first == "Rss:")
            return line.mid(4).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

bool WalkOnce(e2e::WindowRun& windowRun, const QString& base, LoadTimer& loads, WalkFigures& out)
{
    MainWindow& window = *windowRun.window;
    window.Run(Command::Clear);
    WebBrowser& browser = e2e::Browser(window);
    if (!e2e::WaitForPage(
            browser, kListPath, [&] { browser.load(QUrl(base + kListPath + QStringLiteral("?page=1"))); }))
        return false;
    loads.Reset();
    const double cpuBefore = ToolCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    window.Run(Command::ExtractAll);
    out.wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    out.cpuSeconds = ToolCpuSeconds() - cpuBefore;
    out.rows = window.Session().Grid().Rows() - window.Session().Grid().FixedRows();
    out.cells = GridCells(window.Session().Grid());
    const double detailsPerPage
        = kPerPage * (kLatencyMs / 1000.0) / windowRun.run.detailDownloads.value_or(1);
    out.pageByPageFloorSeconds = kPages * 1.0 + kPages * detailsPerPage;
    out.floorSeconds = out.pageByPageFloorSeconds + loads.Seconds();
    // The pause after a page runs while its details download.
    out.overlappedFloorSeconds = kPages * std::max(1.0, detailsPerPage) + loads.Seconds();
    return true;
}

void PrintWalk(const char* label, const WalkFigures& f)
{
    const QByteArray prefix = QByteArray("walk_") + label + "_";
    Print((prefix + "wall").constData(), f.wallSeconds, "s");
    Print((prefix + "floor").constData(), f.floorSeconds, "s");
    Print((prefix + "wall_over_floor").constData(), f.wallSeconds / f.floorSeconds, "x");
    Print((prefix + "floor_page_by_page").constData(), f.pageByPageFloorSeconds, "s");
    Print(
        (prefix + "wall_over_floor_page_by_page").constData(), f.wallSeconds / f.pageByPageFloorSeconds, "x");
    Print((prefix + "floor_overlapped").constData(), f.overlappedFloorSeconds, "s");
    Print((prefix + "wall_over_floor_overlapped").constData(), f.wallSeconds / f.overlappedFloorSeconds, "x");
    Print((prefix + "cpu_per_page").constData(), f.cpuSeconds * 1000.0 / kPages, "ms");
    Print((prefix + "rows").constData(), f.rows, "rows");
}

} // namespace

// "--memory N": one walk of N pages of 20 trades in the window, the detail
// pages as fast as "--latency-ms" (none by default) and the crash-recovery
// save after every page, as the program runs it; prints the resident
// memory at pages 1 and 10 and every 50 pages, and the growth from page 10
// to the end.
int MemoryWalk(int pages, int markEvery, const QString& base, standin::RecordingPrompt& prompt,
    IndicatorWindow& indicator)
{
    GridRecovery recovery(GridRecovery::DefaultFolder());
    TradeHistory history(DefaultTradeHistoryPath());
    e2e::WindowRun windowRun(RunServices { .prompt = &prompt,
        .endpoints = e2e::DemoEndpoints(base),
        .checkpoint = &recovery,
        .history = &history,
        .progressView = &indicator });
    MainWindow& window = windowRun.Open();
    window.show();
    if (!e2e::LogIn(window, base, windowRun.run.fetcher.CookieJar()) || !e2e::OpenSoldItems(window))
        return 1;
    (void)window.Session().OfferRecovery();
    int nextMark = 1;
    double firstMb = 0;
    double tenthMb = 0;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const TradeGrid& grid = window.Session().Grid();
        const int page = CountTrades(grid) / kPerPage;
        if (page < nextMark)
            return;
        const double mb = ResidentMb();
        if (nextMark == 1)
            firstMb = mb;
        if (nextMark == 10)
            tenthMb = mb;
        const QByteArray mark = QByteArray::number(nextMark);
        Print(QByteArray("walk_memory_rss_page_" + mark).constData(), mb, "MB");
        Print(QByteArray("walk_memory_tool_rss_page_" + mark).constData(), ToolProcesses().residentMb, "MB");
#if defined(__GLIBC__)
        // Held by the allocator: in use, and free but kept (fragments).
        const struct mallinfo2 heap = mallinfo2();
        Print(QByteArray("walk_memory_heap_in_use_page_" + mark).constData(),
            double(heap.uordblks + heap.hblkhd) / 1048576.0, "MB");
        Print(QByteArray("walk_memory_heap_free_kept_page_" + mark).constData(),
            double(heap.fordblks) / 1048576.0, "MB");
#endif
        Print(QByteArray("walk_memory_heap_segment_page_" + mark).constData(), HeapSegmentMb(), "MB");
        nextMark = nextMark == 1 ? 10 : (nextMark / markEvery + 1) * markEvery;
    });
    sampler.start(200);
    QElapsedTimer wall;
    wall.start();
    window.Run(Command::ExtractAll);
    sampler.stop();
    const double lastMb = ResidentMb();
    Print("walk_memory_pages", CountTrades(window.Session().Grid()) / double(kPerPage), "pages");
    Print("walk_memory_rss_end", lastMb, "MB");
    Print("walk_memory_recovery_file", QFileInfo(recovery.FilePath()).size() / 1048576.0, "MB");
    Print("walk_memory_growth_per_100_pages", (lastMb - firstMb) * 100.0 / std::max(1, pages - 1), "MB");
    Print("walk_memory_growth_from_page_10", lastMb - tenthMb, "MB");
    Print("walk_memory_wall", double(wall.elapsed()) / 1000.0, "s");
    windowRun.run.progress.SetView(nullptr);
    return 0;
}

// A child of the unattended memory walk: logs in through the window's
// browser, under the program's name so that the program's unattended run
// finds the login in the same profile.
int LogInMain(int argc, char* argv[], const QString& base)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumetra-trades"));
    standin::RecordingPrompt prompt(true);
    e2e::WindowRun windowRun(prompt, base);
    MainWindow& window = windowRun.Open();
    window.show();
    return e2e::LogIn(window, base, windowRun.run.fetcher.CookieJar()) && e2e::OpenSoldItems(window) ? 0 : 1;
}

// Resident memory of one process, in MB.
double ResidentMbOf(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// "--memory-unattended N": the program's unattended export of the same shop
// after a login through the window; prints the resident memory of the
// program's own process (not its browser's) at pages 1 and 10 and every
// markEvery pages, as its page lines come, and the growth from page 10.
int UnattendedMemoryWalk(int markEvery, const QString& base)
{
    // Waits run the event loop: the marketplace's request log is read
    // meanwhile, and a full pipe would stop it answering.
    const auto waitForEnd = [](QProcess& process) {
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        if (process.state() != QProcess::NotRunning)
            loop.exec();
    };
    QProcess logIn;
    logIn.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    logIn.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--log-in"), base });
    waitForEnd(logIn);
    if (logIn.exitStatus() != QProcess::NormalExit || logIn.exitCode() != 0) {
        std::fprintf(stderr, "could not log in to the demo marketplace\n");
        return 1;
    }
    const QString file = QDir::temp().filePath(QStringLiteral("lumetra-walk-memory-%1.csv").arg(getpid()));
    QProcess tool;
    tool.start(QStringLiteral(LUMETRA_TRADES_PATH),
        { QStringLiteral("--export"), file, QStringLiteral("--start-url"), base + kListPath,
            QStringLiteral("--trade-base"), base });
    if (!tool.waitForStarted())
        return 1;
    const QRegularExpression pageLine(QStringLiteral("^第 (\\d+) 页"));
    int nextMark = 1;
    double tenthMb = 0;
    double lastMb = 0;
    QByteArray pending;
    QObject::connect(&tool, &QProcess::readyReadStandardError, [&] {
        pending += tool.readAllStandardError();
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QString line = QString::fromUtf8(pending.left(end)).trimmed();
            pending.remove(0, end + 1);
            const QRegularExpressionMatch match = pageLine.match(line);
            if (!match.hasMatch())
                continue;
            lastMb = ResidentMbOf(tool.processId());
            const int page = match.captured(1).toInt();
            if (page < nextMark)
                continue;
            if (nextMark == 10)
                tenthMb = lastMb;
            Print(
                QByteArray("walk_unattended_rss_page_" + QByteArray::number(page)).constData(), lastMb, "MB");
            nextMark = nextMark == 1 ? 10 : (nextMark / markEvery + 1) * markEvery;
        }
    });
    waitForEnd(tool);
    QFile::remove(file);
    Print("walk_unattended_exit_status", tool.exitCode(), "status");
    Print("walk_unattended_rss_last_page", lastMb, "MB");
    Print("walk_unattended_growth_from_page_10", lastMb - tenthMb, "MB");
    return tool.exitCode() == 0 ? 0 : 1;
}

int main(int argc, char* argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--log-in") == 0)
        return LogInMain(argc, argv, QString::fromLocal8Bit(argv[2]));
    testsupport::UseTemporaryHome();
    // The memory walks render as the program does, with the engine's own
    // choice of graphics, not the tests' software-only one.
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--memory") == 0 || qstrcmp(argv[i], "--memory-unattended") == 0)
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "");
    UseChineseBrowserLocale();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto intArg = [&](const char* name, int fallback) {
        const qsizetype at = args.indexOf(QString::fromLatin1(name));
        return at >= 0 && at + 1 < args.size() ? args.at(at + 1).toInt() : fallback;
    };
    const int unattendedPages = intArg("--memory-unattended", 0);
    const int memoryPages = std::max(intArg("--memory", 0), unattendedPages);
    // As the program does; "--plain-allocator" leaves glibc's defaults.
    if (memoryPages > 0 && !args.contains(QStringLiteral("--plain-allocator")))
        KeepLargeBlocksOffTheHeap();
    kPages = memoryPages > 0 ? memoryPages : intArg("--pages", kPages);
    kPerPage = intArg("--per-page", kPerPage);
    kLatencyMs = intArg("--latency-ms", memoryPages > 0 ? 0 : kLatencyMs);
    kSeed = QString::number(intArg("--seed", kSeed.toInt()));
    const int slowListPage = intArg("--slow-list-page", 0);
    const bool walkOnly = args.contains(QStringLiteral("--walk-only"));
    qputenv("LUMETRA_DEMO_MARKET", LUMETRA_DEMO_MARKET_PATH);
    testsupport::DemoMarket market({ "--pages", QString::number(kPages), "--per-page",
        QString::number(kPerPage), "--latency-ms", QString::number(kLatencyMs), "--seed", kSeed,
        "--slow-list-page", QString::number(slowListPage), "--log-requests" });
    if (!market.ok()) {
        std::fprintf(stderr, "demo marketplace did not start\n");
        return 1;
    }
    standin::RecordingPrompt prompt(true); // each walk clears the last one's grid
    IndicatorWindow indicator;
    if (unattendedPages > 0)
        return UnattendedMemoryWalk(intArg("--mark-every", 50), market.base());
    if (memoryPages > 0)
        return MemoryWalk(memoryPages, intArg("--mark-every", 50), market.base(), prompt, indicator);
    // A window on the first list page, logged in; its run uses history when
    // given and downloads that many detail pages at once.
    const auto openWindow = [&](TradeHistory* history, int downloads) -> std::unique_ptr<e2e::WindowRun> {
        auto windowRun = std::make_unique<e2e::WindowRun>(RunServices { .prompt = &prompt,
            .endpoints = e2e::DemoEndpoints(market.base()),
            .history = history,
            .progressView = &indicator,
            .detailDownloads = downloads });
        MainWindow& window = windowRun->Open();
        window.show();
        if (!e2e::LogIn(window, market.base(), windowRun->run.fetcher.CookieJar())
            || !e2e::OpenSoldItems(window)) {
            std::fprintf(stderr, "could not log in to the demo marketplace\n");
            return nullptr;
        }
        return windowRun;
    };
    // Each count gets a run of its own, as a seller's setting would.
    WalkFigures one, four;
    std::unique_ptr<e2e::WindowRun> windowRun;
    std::unique_ptr<LoadTimer> loads;
    for (const auto& [downloads, figures] : { std::pair { 1, &one }, std::pair { 4, &four } }) {
        loads.reset();
        windowRun.reset();
        windowRun = openWindow(nullptr, downloads);
        if (!windowRun)
            return 1;
        loads = std::make_unique<LoadTimer>(e2e::Browser(*windowRun->window));
        if (!WalkOnce(*windowRun, market.base(), *loads, *figures)) {
            std::fprintf(stderr, "the first list page did not load\n");
            return 1;
        }
    }
    PrintWalk("n1", one);
    PrintWalk("n4", four);
    Print("walk_n1_over_n4", one.wallSeconds / four.wallSeconds, "x");
    Print("walk_n1_n4_grids_equal", one.cells == four.cells ? 1 : 0, "bool");
    if (walkOnly) {
        windowRun->run.progress.SetView(nullptr);
        return 0;
    }

    // A daily walk: the same shop walked twice on one profile with the trade
    // history, four downloads at a time. The first fills it; the second
    // downloads only the trades that have not ended.
    loads.reset();
    windowRun.reset();
    TradeHistory history(DefaultTradeHistoryPath());
    windowRun = openWindow(&history, 4);
    if (!windowRun)
        return 1;
    loads = std::make_unique<LoadTimer>(e2e::Browser(*windowRun->window));
    const auto detailRequests = [&market] {
        return int(market.RequestLog().filter(QStringLiteral("bizOrderId=")).size());
    };
    WalkFigures firstDay, nextDay;
    int requests = detailRequests();
    if (!WalkOnce(*windowRun, market.base(), *loads, firstDay))
        return 1;
    const int firstRequests = detailRequests() - requests;
    requests = detailRequests();
    if (!WalkOnce(*windowRun, market.base(), *loads, nextDay))
        return 1;
    const int nextRequests = detailRequests() - requests;
    Print("walk_history_first_detail_requests", firstRequests, "requests");
    Print("walk_history_first_wall", firstDay.wallSeconds, "s");
    Print("walk_history_next_detail_requests", nextRequests, "requests");
    Print("walk_history_next_wall", nextDay.wallSeconds, "s");
    Print("walk_history_first_over_next", firstDay.wallSeconds / nextDay.wallSeconds, "x");
    Print("walk_history_next_rows_equal", nextDay.rows == firstDay.rows ? 1 : 0, "bool");
    if (!prompt.messages.isEmpty())
        std::fprintf(stderr, "messages: %s\n", qPrintable(prompt.messages.join(QLatin1Char('\n'))));
    return 0;
}

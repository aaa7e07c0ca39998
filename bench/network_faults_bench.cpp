// Extract-all against the demo marketplace (3 pages of 8 trades, 50 ms per
// detail page, four downloads at once, the real 15 s limits) once without a
// fault and once each with a trade host that falls silent, one detail page
// that trickles in, and a 25-second outage of the trade host, the walk
// waiting for the network as the unattended export does (up to 600 s; the
// silent host, which never comes back, with no wait and with a 20 s one).
// For each: the wall time, how long until the seller was told (the progress
// window's first outage text, "网络中断，正在重试…" or "无法连接淘宝…"), how long
// until the window said the walk waits for the network, and whether the
// grid equals the one without a fault; -1 where nothing was told.

#include "support/DemoListPage.h"
#include "support/TestSupport.h"

#include "core/downloads/DetailDownloadPass.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"
#include "core/session/Commands.h"
#include "core/session/PageLoadWatch.h"
#include "core/session/RunFactory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

namespace {

class ReadyWatch : public PageLoadWatch {
public:
    void Arm() override { }
    bool WaitLoaded(int) override { return true; }
};

struct Figures {
    double wallSeconds = 0;
    double toldSeconds = -1;
    double waitToldSeconds = -1;
    WalkEnd end = WalkEnd::LastPage;
    QStringList cells;
};

QStringList Cells(const TradeGrid& grid)
{
    QStringList cells;
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r)
        for (int c = 0; c < grid.Cols(); ++c)
            cells.append(grid.TextMatrix(r, c));
    return cells;
}

bool Walk(const QStringList& fault, int waitSeconds, Figures& out)
{
    testsupport::DemoMarket market(QStringList { QStringLiteral("--pages"), QStringLiteral("3"),
                                       QStringLiteral("--per-page"), QStringLiteral("8"), QStringLiteral("--seed"),
                                       QStringLiteral("7"), QStringLiteral("--latency-ms"), QStringLiteral("50") }
        + fault);
    if (!market.ok())
        return false;
    RunContext run(RunServices { .endpoints = testsupport::TradeHostAt(market.base()),
        .detailDownloads = 4,
        .networkWait = WaitForSeconds(waitSeconds) });
    demolist::Get(run.fetcher.Network(), market.url(QStringLiteral("/member/login.jhtml?TPL_username=bench")));
    demolist::DemoListPage page(run.fetcher.Network(), market.base());
    TradeGrid grid;
    ReadyWatch watch;
    QElapsedTimer clock;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        const QString& message = run.progress.State().message;
        if (out.toldSeconds < 0
            && (message.startsWith(QStringLiteral("网络中断")) || message.startsWith(QStringLiteral("无法连接淘宝"))))
            out.toldSeconds = double(clock.elapsed()) / 1000.0;
        if (out.waitToldSeconds < 0 && message.startsWith(QStringLiteral("无法连接淘宝，正在等待网络恢复")))
            out.waitToldSeconds = double(clock.elapsed()) / 1000.0;
    });
    look.start(20);
    StartProgress(run.progress, QStringLiteral("walk"), 500, 0);
    clock.start();
    DetailDownloadPass pass;
    pass.wait = run.networkWait;
    const WalkResult walk = ExtractAllPages(run, page, grid, watch, pass);
    out.wallSeconds = double(clock.elapsed()) / 1000.0;
    CloseProgress(run.progress);
    out.end = walk.end;
    out.cells = Cells(grid);
    return true;
}

void Print(const char* label, const char* what, double value, const char* unit)
{
    std::printf("faults_%s_%s %.3f %s\n", label, what, value, unit);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    testsupport::UseTemporaryHome();
    QCoreApplication app(argc, argv);
    qputenv("LUMETRA_DEMO_MARKET", LUMETRA_DEMO_MARKET_PATH);
    struct Case {
        const char* label;
        QStringList fault;
        int waitSeconds = 600;
    };
    const QStringList silent { QStringLiteral("--silent-after"), QStringLiteral("10") };
    const Case cases[] = {
        { "none", {} },
        { "silent_host_no_wait", silent, 0 },
        { "silent_host_wait_20s", silent, 20 },
        { "trickling_page", { QStringLiteral("--trickle-request"), QStringLiteral("10") } },
        { "outage_25s",
            { QStringLiteral("--outage-after"), QStringLiteral("10"), QStringLiteral("--outage-seconds"),
                QStringLiteral("25") } },
    };
    QStringList reference;
    for (const Case& c : cases) {
        Figures f;
        if (!Walk(c.fault, c.waitSeconds, f)) {
            std::fprintf(stderr, "demo marketplace did not start\n");
            return 1;
        }
        if (reference.isEmpty())
            reference = f.cells;
        Print(c.label, "wall", f.wallSeconds, "s");
        Print(c.label, "told_after", f.toldSeconds, "s");
        Print(c.label, "wait_told_after", f.waitToldSeconds, "s");
        Print(c.label, "walk_ended_unreachable", f.end == WalkEnd::MarketUnreachable ? 1 : 0, "");
        Print(c.label, "grid_equals_unfaulted", f.cells == reference ? 1 : 0, "");
    }
    return 0;
}

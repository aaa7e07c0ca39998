// Extract-all against the demo marketplace without latency: the tool's own
// time per page (list parsing plus the detail downloads, without the
// one-second pause between pages), the memory the grid takes per 10,000
// rows, and the peak resident memory after extracting 20,000 trades.

#include "support/DemoListPage.h"
#include "support/TestSupport.h"

#include "core/base/Endpoints.h"
#include "core/downloads/DetailDownloadPass.h"
#include "core/extract/ListParser.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"
#include "core/session/PageExtraction.h"
#include "core/session/RunContext.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

void Print(const char* name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", name, value, unit);
}

double PeakResidentMb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

double ResidentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return double(fields.value(1).toLongLong()) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// A deep copy of the first rows of grid, so its texts share nothing.
void CopyRows(const TradeGrid& from, TradeGrid& to, int rows)
{
    to.SetCols(from.Cols());
    to.SetRows(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < from.Cols(); ++c) {
            const QString& text = from.TextMatrix(r % from.Rows(), c);
            to.SetTextMatrix(r, c, QString(text.constData(), text.size()));
        }
}

} // namespace

int main(int argc, char* argv[])
{
    testsupport::UseTemporaryHome();
    QCoreApplication app(argc, argv);
    const int pages = argc > 1 ? QByteArray(argv[1]).toInt() : 200;
    const int perPage = 100;
    qputenv("LUMETRA_DEMO_MARKET", LUMETRA_DEMO_MARKET_PATH);
    testsupport::DemoMarket market(
        { QStringLiteral("--pages"), QString::number(pages), QStringLiteral("--per-page"),
            QString::number(perPage), QStringLiteral("--seed"), QStringLiteral("99") });
    if (!market.ok()) {
        std::fprintf(stderr, "demo marketplace did not start\n");
        return 1;
    }
    RunContext run(RunServices { .endpoints = testsupport::TradeHostAt(market.base()) });
    demolist::Get(run.fetcher.Network(), market.url(QStringLiteral("/member/login.jhtml?TPL_username=bench")));
    demolist::DemoListPage page(run.fetcher.Network(), market.base());

    TradeGrid grid;
    StartProgress(run.progress, QStringLiteral("walk"), 500, 0);
    QElapsedTimer timer;
    timer.start();
    int passes = 1;
    DetailDownloadPass pass;
    while (ExtractTradePage(run, page, grid, true, pass).nextClicked && passes < 501)
        ++passes;
    const double totalMs = double(timer.nsecsElapsed()) / 1e6;
    CloseProgress(run.progress);

    Print("extract_all_pages", passes, "pages");
    Print("extract_all_trade_rows", grid.Rows() - grid.FixedRows(), "rows");
    Print("extract_all_time_per_page", totalMs / passes, "ms");
    Print("extract_all_time_per_trade", totalMs / (passes * perPage), "ms");
    Print("extract_all_peak_resident", PeakResidentMb(), "MB");

    // The grid's own share: a second grid of 10,000 deep-copied rows.
    const double before = ResidentMb();
    {
        TradeGrid copy;
        CopyRows(grid, copy, 10000);
        Print("grid_memory_per_10000_rows", ResidentMb() - before, "MB");
    }
    return 0;
}

// The packing bench's scan: from the code typed to the answer on screen,
// against the demo marketplace with slow detail pages (300 ms, as a live
// marketplace answers). The detail fetch is the only wait: the answer's
// time is set beside that floor (the latency of one page, since a parcel's
// pages are fetched at once; parcels of several trades are shown apart when
// the shop has them). The lookup's own cost is shown on a day of 10,000
// rows: building the parcels once, and one scan's lookup.

#include "support/DemoListPage.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

#include "core/downloads/DetailDownloadPass.h"
#include "core/grid/GridSetup.h"
#include "core/grid/ItemRecord.h"
#include "core/grid/TradeGrid.h"
#include "core/packcheck/ParcelIndex.h"
#include "core/packcheck/ParcelStatusCheck.h"
#include "core/progress/Progress.h"
#include "core/session/PageExtraction.h"
#include "core/session/RunContext.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kLatencyMs = 300;

void Print(const char* name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

// The time from the code to the answer: the lookup, then the fetches.
double ScanToAnswerMs(RunContext& run, const ParcelIndex& index, const QString& code, ParcelVerdict& verdict)
{
    QElapsedTimer timer;
    timer.start();
    const std::optional<int> found = index.Find(code);
    if (!found)
        return -1;
    ParcelStatusCheck check(run.fetcher, run.endpoints);
    QEventLoop loop;
    QObject::connect(&check, &ParcelStatusCheck::Checked, &loop, [&](const ParcelCheck& done) {
        verdict = done.verdict;
        loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    check.Start(*found, index.At(*found));
    loop.exec();
    return double(timer.nsecsElapsed()) / 1e6;
}

double Median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

void FillBigDay(TradeGrid& grid, int rows)
{
    SetUpTradeGrid(grid);
    grid.SetRows(grid.FixedRows() + rows);
    for (int i = 0; i < rows; ++i) {
        const int row = grid.FixedRows() + i;
        const QString order = QString::number(3900000000000000000LL + i);
        grid.SetTextMatrix(row, ColOrderNumber, order);
        grid.SetTextMatrix(row, ColStatus, QStringLiteral("等待卖家发货"));
        // Every fourth parcel holds two trades.
        grid.SetTextMatrix(row, ColRecipient, QStringLiteral("收件人%1").arg(i - i % 4 / 3));
        grid.SetTextMatrix(row, ColProvince, QStringLiteral("浙江省"));
        grid.SetTextMatrix(row, ColAddress, QStringLiteral("文三路 %1 号").arg(i - i % 4 / 3));
        grid.SetTextMatrix(row, ColItemRecord,
            ItemRecordLine({ order, QStringLiteral("9.90"), QStringLiteral("1"), QStringLiteral("发圈") }));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    testsupport::UseTemporaryHome();
    qputenv("LUMETRA_DEMO_MARKET", LUMETRA_DEMO_MARKET_PATH);
    testsupport::DemoMarket market(
        { "--pages", "1", "--per-page", "100", "--seed", "31", "--latency-ms", QString::number(kLatencyMs) });
    if (!market.ok()) {
        std::fprintf(stderr, "the demo marketplace did not start\n");
        return 1;
    }
    standin::RecordingPrompt prompt;
    RunContext run(RunServices { .prompt = &prompt, .endpoints = testsupport::TradeHostAt(market.base()) });
    demolist::Get(run.fetcher.Network(), market.url(QStringLiteral("/member/login.jhtml?TPL_username=demo")));
    demolist::DemoListPage page(run.fetcher.Network(), market.base());
    TradeGrid grid;
    DetailDownloadPass pass;
    StartProgress(run.progress, QStringLiteral("walk"), 10, 0);
    (void)ExtractTradePage(run, page, grid, true, pass);
    CloseProgress(run.progress);
    const ParcelIndex index(grid, {});

    QList<double> single, several;
    int green = 0;
    for (int scan = 0; scan < index.Count(); ++scan) {
        const Parcel& parcel = index.At(scan);
        ParcelVerdict verdict = ParcelVerdict::Unchecked;
        const double ms = ScanToAnswerMs(run, index, parcel.Key(), verdict);
        (parcel.slip.orders.size() > 1 ? several : single).append(ms);
        green += verdict == ParcelVerdict::CanShip ? 1 : 0;
    }
    Print("scan_detail_latency", kLatencyMs, "ms");
    Print("scan_to_answer_median", Median(single + several), "ms");
    const QList<double> all = single + several;
    Print("scan_to_answer_max", *std::max_element(all.cbegin(), all.cend()), "ms");
    Print("scan_to_answer_over_latency", Median(single + several) / kLatencyMs, "x");
    if (!several.isEmpty())
        Print("scan_to_answer_several_trades_median", Median(several), "ms");
    Print("scan_parcels_scanned", index.Count(), "parcels");
    Print("scan_answers_green", green, "parcels");

    TradeGrid big;
    FillBigDay(big, 10000);
    QElapsedTimer timer;
    timer.start();
    const ParcelIndex bigIndex(big, {});
    Print("scan_parcels_of_10000_rows", double(timer.nsecsElapsed()) / 1e6, "ms");
    timer.restart();
    int found = 0;
    for (int i = 0; i < 10000; ++i)
        found += bigIndex.Find(QString::number(3900000000000000000LL + i)) ? 1 : 0;
    Print("scan_lookup_in_10000_rows", double(timer.nsecsElapsed()) / 1e3 / 10000, "us");
    Print("scan_lookups_found", found, "of_10000");
    return 0;
}

// The sold-items list parser on arbitrary table text, twice in a row on one
// grid (the second call sees the first call's rows), without network.

#include "FuzzSupport.h"
#include "core/downloads/DetailDownloadPass.h"
#include "core/extract/ListParser.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/network/BrowserPage.h"
#include "core/network/PageFetchJob.h"
#include "core/network/PageFetcher.h"
#include "core/session/PageExtraction.h"
#include "core/session/RunContext.h"
#include "support/StandIns.h"

namespace {

// LUMETRA_FUZZ_DUMP=1 prints the grid, for reading a finding.
void Dump(const TradeGrid& grid, const char* when)
{
    if (qEnvironmentVariableIsEmpty("LUMETRA_FUZZ_DUMP"))
        return;
    std::fprintf(stderr, "--- %s: %d rows\n", when, grid.Rows());
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r) {
        QStringList cells;
        for (int c = 1; c <= ColRating; ++c)
            cells.append(grid.TextMatrix(r, c));
        std::fprintf(stderr, "%s\n", qPrintable(cells.join(QLatin1Char('|'))));
    }
}

void CheckInvariants(const TradeGrid& grid)
{
    FUZZ_CHECK(grid.Cols() == kTradeGridCols);
    FUZZ_CHECK(grid.FixedRows() == 2);
    int emptyOrders = 0;
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r) {
        // The sequence column counts the data rows from 1.
        FUZZ_CHECK(grid.TextMatrix(r, ColSequence) == QString::number(r - grid.FixedRows() + 1));
        const QString& order = grid.TextMatrix(r, ColOrderNumber);
        if (order.isEmpty())
            ++emptyOrders;
        const qsizetype underscore = order.indexOf(QLatin1Char('_'));
        if (underscore > 0 && r > grid.FixedRows()) {
            // The page holds no "_", so this is a numbered further item: it
            // follows a row of the same trade.
            const QString base = order.left(underscore);
            const QString previous = grid.TextMatrix(r - 1, ColOrderNumber);
            FUZZ_CHECK(previous == base || previous.startsWith(base + QLatin1Char('_')));
            FUZZ_CHECK(grid.TextMatrix(r, ColAmount).isEmpty());
        }
    }
    // A trade without an order number is looked up like any other, so at
    // most one such row can exist.
    FUZZ_CHECK(emptyOrders <= 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzsupport::EnsureApplication();
    RunContext run;
    run.fetcher.UseStandIn([](const QString&, const QString&, int) {
        return FetchResult { FetchStatus::Failed, QString() };
    });
    // Without "_" in the page, every "_" in an order number is one the
    // parser wrote for a trade's further item.
    const QString input = fuzzsupport::Text(data, size).remove(QLatin1Char('_'));
    TradeGrid grid;
    standin::ScriptedPage page;
    page.table = input;
    page.body = input;
    DetailDownloadPass pass;
    (void)ExtractTradePage(run, page, grid, false, pass);
    Dump(grid, "first");
    CheckInvariants(grid);
    const int rowsAfterFirst = grid.Rows();
    (void)ExtractTradePage(run, page, grid, true, pass);
    Dump(grid, "second");
    CheckInvariants(grid);
    // The same page again adds no trade; at most a trailing blank row goes.
    FUZZ_CHECK(grid.Rows() <= rowsAfterFirst);
    return 0;
}

#include "Commands.h"

#include "PageLoadWatch.h"
#include "core/base/EventWait.h"
#include "core/extract/ListParser.h"
#include "core/extract/PagerText.h"
#include "core/grid/GridOperations.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/network/PageAccess.h"
#include "core/progress/Progress.h"
#include "core/recovery/GridRecovery.h"
#include "core/text/TextHelpers.h"
#include "core/text/TextMeasurer.h"

#include <algorithm>

QString TotalLabelText(const TradeGrid& grid, bool withYuan)
{
    double total = 0;
    try {
        total = SumColumn(grid, ColAmount);
    } catch (const GridRangeError&) {
        total = 0;
    }
    QString text = QString::fromUtf8(kTotalPrefix) + NumberText(total);
    if (withYuan)
        text += QStringLiteral("元");
    return text;
}

QString ShopNickFromBody(QString bodyHtml)
{
    QString html = CutAtMarker(bodyHtml, QStringLiteral("user-nick"), false);
    CutAtMarker(html, QStringLiteral(">"), true);
    return CutAtMarker(html, QStringLiteral("<"), true).trimmed();
}

void ClearTradeGrid(TradeGrid& grid)
{
    grid.SetRows(grid.FixedRows());
}

void DeleteSelectedRows(TradeGrid& grid)
{
    try {
        DeleteRows(grid, grid.Row(), grid.RowSel());
    } catch (const GridRangeError&) {
        // Nothing selectable to delete.
    }
}

int RemoveClosedTrades(TradeGrid& grid)
{
    const int dataRows = grid.Rows() - grid.FixedRows();
    StartProgress(QString::fromUtf8(kRemovingClosedMessage), dataRows, 0);
    const QString closed = QString::fromUtf8(kClosedTradeStatus);
    // One bulk removal gives the grid the bottom-up row-by-row deletion
    // would; the progress still counts every data row.
    int removed = 0;
    if (grid.Cols() > ColStatus) {
        removed = grid.RemoveRowsWhere([&](int row) { return grid.TextMatrix(row, ColStatus) == closed; });
    }
    for (int i = 0; i < dataRows; ++i)
        StepProgress(1, QStringLiteral("pages"));
    CloseProgress();
    return removed;
}

int WalkAllPages(const std::function<bool()>& extractPage, PageLoadWatch& nextPage, int nextPageTimeoutMs)
{
    int passes = 0;
    for (int i = 0; i < kExtractAllMaxPasses; ++i) {
        nextPage.Arm();
        ++passes;
        if (!extractPage())
            break;
        WaitSeconds(1);
        if (!ProgressWindowOpen())
            break;
        StepProgress(1, QStringLiteral("pages"));
        // Read the next page only once it is there, so a slow page cannot
        // end the walk early. A page that never finishes is read as it is.
        nextPage.WaitLoaded(nextPageTimeoutMs);
    }
    return passes;
}

int ExtractAllPages(BrowserPage& browser, TradeGrid& grid, PageLoadWatch& nextPage, int nextPageTimeoutMs,
    const std::function<void(int page)>& pageRead)
{
    if (const std::optional<int> pagesLeft = PagesLeftFromHtml(GetBodyHtml(browser)))
        SetProgressTotal(std::min(*pagesLeft, kExtractAllMaxPasses));
    // Each page is saved for crash recovery once its details are in, never
    // in the middle of one.
    int pages = 0;
    const auto extractPage = [&] {
        const bool movedOn = ExtractTradePage(browser, grid, true);
        CheckpointGrid(grid);
        if (pageRead)
            pageRead(++pages);
        return movedOn;
    };
    return WalkAllPages(extractPage, nextPage, nextPageTimeoutMs);
}

int ExtractAllTrades(BrowserPage& browser, TradeGrid& grid, PageLoadWatch& nextPage,
    const TextMeasurer& measurer, const ExtractAllOptions& options)
{
    StartProgress(QString::fromUtf8(kExtractingMessage), kExtractAllProgressTotal, 0);
    if (options.beforeWalk)
        options.beforeWalk();
    const int pages = ExtractAllPages(browser, grid, nextPage, kNextPageTimeoutMs, options.pageRead);
    if (options.filterClosed && options.filterClosed())
        RemoveClosedTrades(grid);
    AutoFitColumns(measurer, grid, 1, true);
    CloseProgress();
    return pages;
}

int CountTrades(const TradeGrid& grid)
{
    int trades = 0;
    if (grid.Cols() <= ColOrderNumber)
        return 0;
    for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
        if (!grid.TextMatrix(row, ColOrderNumber).contains(QLatin1Char('_')))
            ++trades;
    }
    return trades;
}

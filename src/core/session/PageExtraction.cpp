#include "PageExtraction.h"

#include "core/base/Logging.h"
#include "core/downloads/DetailDownloadPass.h"
#include "core/downloads/TradeDetails.h"
#include "core/downloads/WalkContext.h"
#include "core/extract/ListPageMarks.h"
#include "core/extract/ListParser.h"
#include "core/extract/PagerText.h"
#include "core/extract/UnreadPageKeeper.h"
#include "core/grid/GridSetup.h"
#include "core/grid/GridSteps.h"
#include "core/grid/TradeGrid.h"
#include "core/network/BrowserPage.h"
#include "core/network/PageAccess.h"

#include <QDir>

#include <algorithm>

namespace {

const QString kTableId = QString::fromLatin1(kListTableId);
const QString kNextPage = QStringLiteral("下一页");

void DropBlankLastRow(TradeGrid& grid)
{
    if (grid.Rows() > grid.FixedRows() && CellOrEmpty(grid, grid.Rows() - 1, ColOrderNumber).isEmpty())
        grid.SetRows(grid.Rows() - 1);
}

// A page whose trades did not all read is named, and its table kept. True
// when the page can be read: some trade of it was, or it says the list is
// empty. The trades it lists are counted from more than one mark: the
// "订单编号：" labels, the table bodies that hold rows of cells, and the
// order numbers in the page's scripts; a page of rows but no trade, or of
// trades no mark of which was read, is one of another shape.
bool CheckPageReading(DetailLedger& ledger, const TradeGrid& grid, const ListPageReading& reading,
    const ListPageMarks& marks, const QString& table, int page)
{
    for (const Finding& finding : reading.findings)
        ledger.Add(finding);
    const int listed = std::max({ reading.listed, reading.bodiesWithCells, int(marks.scriptOrders.size()) });
    if (reading.read > 0 && reading.read >= listed)
        return true;
    // Trades the page's script lists and the table did not give are named
    // one by one: they have no row.
    for (const QString& order : marks.scriptOrders)
        if (grid.FindOrderRow(order) < 0)
            ledger.Add(TradeFinding(order, FindingKind::ListRowShape, -1, {}, FindingSeverity::Refused));
    if (reading.read == 0 && listed == 0 && reading.rowsOfCells == 0 && marks.saysEmpty)
        return true;
    const QString kept = KeepUnreadPage(table, page);
    QString note;
    if (listed > 0)
        note = QStringLiteral("的格式可能已变化：列出 %1 笔交易，读到 %2 笔。").arg(listed).arg(reading.read);
    else if (reading.rowsOfCells > 0)
        note = QStringLiteral("的格式可能已变化：表中有 %1 行，读到 0 笔交易。").arg(reading.rowsOfCells);
    else
        note = QStringLiteral("的格式可能已变化：表中没有交易，页面也没有说列表是空的。");
    if (!kept.isEmpty())
        note += QStringLiteral("该页已保存到 %1，可发给软件作者查看。").arg(QDir::toNativeSeparators(kept));
    qCWarning(lcExtract).noquote() << (page > 0 ? QStringLiteral("page %1").arg(page)
                                                : QStringLiteral("page"))
                                   << note;
    ledger.Add(PageFinding(page, reading.read > 0 ? FindingKind::PageDiffers : FindingKind::PageUnreadable,
        note, reading.read > 0 ? FindingSeverity::ToCheck : FindingSeverity::Refused));
    return reading.read > 0;
}

} // namespace

PageExtraction ExtractTradePage(
    WalkContext& run, BrowserPage& browser, TradeGrid& grid, bool extractAll, DetailDownloadPass& pass)
{
    PageExtraction extraction;
    SetUpTradeGrid(grid, run.measurer);
    const QString table = browser.ElementInnerHtml(kTableId);
    DropBlankLastRow(grid);
    const int startRows = grid.Rows();
    ++pass.listPage;

    if (!table.isEmpty()) {
        const ListPageReading reading = ParseListTable(grid, table);
        const QString body = GetBodyHtml(browser);
        const ListPageMarks marks = CountListPageMarks(body);
        const int page = extractAll ? pass.listPage : 0;
        const bool anyRead = CheckPageReading(run.details, grid, reading, marks, table, page);
        extraction.saysEmpty = reading.read == 0 && marks.saysEmpty;
        pass.listSaidEmpty = pass.listSaidEmpty || extraction.saysEmpty;
        // A page before the last that gives fewer trades than the first:
        // the rest of its rows may be in a shape the parser does not know.
        if (extractAll && pass.listPage == 1)
            pass.firstPageTrades = reading.read;
        const std::optional<PagerPosition> pager = PagerPositionFromHtml(body);
        if (extractAll && anyRead && pass.listPage > 1 && pager && pager->page < pager->pageCount
            && reading.read < pass.firstPageTrades)
            run.details.Add(PageFinding(page, FindingKind::PageShort,
                QStringLiteral("的交易比第 1 页少（第 1 页 %1 笔，这一页 %2 笔），可能有交易没有读到。")
                    .arg(pass.firstPageTrades)
                    .arg(reading.read),
                FindingSeverity::ToCheck));
        // The next page loads while this page's details download: it is
        // opened as soon as the page's trades are known and queued, so a
        // slow list page hides behind the downloads. It is read only once
        // they are all in, so the downloads under way finish even when it
        // turns out to be the login page, and each checkpoint holds the
        // grid as after a whole page. A page of which not one trade could
        // be read ends the walk: the pages after it are of the same shape.
        const auto openNextPage = [&] {
            if (extractAll && anyRead && !pass.sessionEnded)
                extraction.nextClicked
                    = !FindLinkAndClick(browser, kNextPage, true, QStringLiteral("A")).isEmpty();
        };
        // Trades listed here whose details failed before are fetched again.
        DownloadTradeDetails(run, grid, grid.Rows() - startRows, !extractAll,
            run.details.FailedListedIn(table), pass, openNextPage);
        // A session that ended under the downloads ends the walk here.
        extraction.nextClicked = extraction.nextClicked && !pass.sessionEnded;
        pass.stoppedOnUnreadablePage = extractAll && !anyRead;
        if (!extractAll) {
            if (pass.sessionEnded)
                extraction.messages.append(QStringLiteral("登录已过期，请重新登录后再提取。"));
            const DetailShortfall shortfall = FinishDetailDownloads(run, grid, true, pass);
            extraction.tradesNamed = shortfall.NamedTrades();
            extraction.findings = shortfall.findings;
            if (const QString told = DetailShortfallMessage(shortfall); !told.isEmpty())
                extraction.messages.append(told);
        }
    }

    if (grid.Rows() == grid.FixedRows())
        extraction.messages.append(QString::fromUtf8(kNoTradesMessage));
    return extraction;
}

#include "ListParser.h"

#include "FailedDetails.h"
#include "PieceText.h"
#include "TradeDetails.h"
#include "core/base/UserPrompt.h"
#include "core/grid/GridSetup.h"
#include "core/grid/GridSteps.h"
#include "core/grid/TradeGrid.h"
#include "core/network/BrowserPage.h"
#include "core/network/PageAccess.h"
#include "core/text/TextHelpers.h"

namespace {

const QString kTableId = QStringLiteral("J_ListTable");
const QString kOrderLabel = QStringLiteral("订单编号");
const QString kOrderMarker = QStringLiteral("订单编号：");
const QString kTimeMarker = QStringLiteral("成交时间：");
const QString kComplaint = QStringLiteral("投诉维权");
const QString kChatTool = QStringLiteral("旺旺");
const QString kNextPage = QStringLiteral("下一页");
const QString kNoTrades = QStringLiteral("没有提取到交易记录，请在下面网页点开淘宝店铺“已卖出的宝贝”页面！");

// Row kinds by the number of pieces a row gives when split at "</TD>".
constexpr int kHeaderPieces = 2;
constexpr int kItemPieces = 9;
constexpr int kContinuationPieces = 5;

QString CleanPiece(QString piece)
{
    StripBetween(piece, QStringLiteral("<"), QStringLiteral(">"), QString());
    piece.remove(QStringLiteral("\r\n"));
    return TrimBlanks(piece);
}

// The body rows of the table: everything between the opening body tag and
// the last row's end tag. A marker that is absent cuts nothing.
QString BodyRowsText(QString table)
{
    CutAtMarker(table, QStringLiteral("</TR>"), false);
    CutAtMarker(table, QStringLiteral("<TBODY"), true);
    CutAtMarker(table, QStringLiteral(">"), true);
    return table;
}

QString ItemTitle(const QString& cell)
{
    QString text = TrimBlanks(cell) + QLatin1Char(' ');
    return TakeFirstWord(text);
}

QString AfterSales(QString cell)
{
    return TrimBlanks(cell.remove(kComplaint));
}

// The order number of the row after `previous` within one trade: the
// trade's number (before the first "_"), "_" and one more than the number
// after previous's last "_" (1 when it has none): 123, 123_1, 123_2 …
QString ContinuationOrderNumber(const QString& previous)
{
    const qsizetype firstMark = previous.indexOf(QLatin1Char('_'));
    if (firstMark < 0)
        return previous + QStringLiteral("_1");
    const qsizetype lastMark = previous.lastIndexOf(QLatin1Char('_'));
    const double next = LeadingNumber(previous.mid(lastMark + 1)) + 1;
    return previous.left(firstMark) + QLatin1Char('_') + NumberText(next);
}

class TablePageParser {
public:
    explicit TablePageParser(TradeGrid& grid)
        : grid_(grid)
    {
    }

    void ParseRows(const QString& bodyRows)
    {
        const QStringList rows = bodyRows.split(QStringLiteral("</TR>"));
        for (const QString& row : rows) {
            QStringList pieces = row.split(QStringLiteral("</TD>"));
            for (QString& piece : pieces)
                piece = CleanPiece(std::move(piece));
            switch (pieces.size()) {
            case kHeaderPieces:
                SkipOnGridError([&] { HeaderRow(pieces.at(0)); });
                break;
            case kItemPieces:
                ItemRow(pieces);
                break;
            case kContinuationPieces:
                ContinuationRow(pieces);
                break;
            default:
                break; // table furniture, notes
            }
        }
    }

private:
    int LastRow() const { return grid_.Rows() - 1; }
    int OrderCol() const { return grid_.FixedCols(); }
    int ItemCol() const { return grid_.FixedCols() + 2; }

    void Set(int row, int col, const QString& text) { SetCellIfInside(grid_, row, col, text); }
    QString Get(int row, int col) const { return CellOrEmpty(grid_, row, col); }

    int AppendRow()
    {
        grid_.SetRows(grid_.Rows() + 1);
        const int row = LastRow();
        Set(row, ColSequence, QString::number(grid_.Rows() - grid_.FixedRows()));
        return row;
    }

    void HeaderRow(QString cell)
    {
        if (!cell.contains(kOrderLabel))
            return;
        // A new trade begins: item rows below belong to it, never to the
        // trade above, even when this one is already in the grid.
        lastTakenRow_ = 0;
        itemTarget_ = kSkippedTrade;
        CutAtMarker(cell, kOrderMarker, true);
        const QString orderNumber = TakeFirstWord(cell);
        CutAtMarker(cell, kTimeMarker, true);
        const QString timeOfSale = TrimBlanks(cell);
        if (grid_.FindOrderRow(orderNumber) >= 0)
            return; // already extracted; its item rows are skipped below
        const int row = AppendRow();
        itemTarget_ = row;
        Set(row, OrderCol(), orderNumber);
        Set(row, ColTime, timeOfSale);
    }

    // Item, price, quantity and after-sales: cells 0 to 3 of both item row kinds.
    void WriteItemCells(int row, const QStringList& cells)
    {
        Set(row, ItemCol(), ItemTitle(cells.at(0)));
        Set(row, ColUnitPrice, CellNumber(cells.at(1)));
        Set(row, ColQuantity, CellNumber(cells.at(2)));
        Set(row, ColAfterSales, AfterSales(cells.at(3)));
    }

    void ItemRow(const QStringList& cells)
    {
        // Only the header row this page has just added (no item yet) takes
        // the trade's first item. Items of a trade already in the grid, and
        // items above the page's first header, are skipped rather than
        // written into an earlier trade that still lacks them.
        const int row = LastRow();
        if (itemTarget_ != row)
            return;
        try {
            if (!grid_.TextMatrix(row, ItemCol()).isEmpty())
                return;
        } catch (const GridRangeError&) {
            return;
        }
        WriteItemCells(row, cells);
        QString buyerCell = cells.at(4);
        Set(row, ColBuyer, TakeFirstWord(buyerCell));
        QString rest = TrimBlanks(buyerCell);
        Set(row, ColName, TrimBlanks(CutAtMarker(rest, kChatTool, true)));
        QString statusCell = cells.at(5);
        Set(row, ColStatus, TakeFirstWord(statusCell));
        Set(row, ColAmount, CellNumber(cells.at(6)));
        Set(row, ColRating, TrimBlanks(cells.at(7)));
        lastTakenRow_ = row;
    }

    // A further item of the trade above: taken while the last grid row is
    // this page's latest item row or a further item that followed it, so
    // every item of a trade reaches the grid. One at the top of a page,
    // whose trade began on the previous page, is not taken.
    void ContinuationRow(const QStringList& cells)
    {
        if (lastTakenRow_ == 0 || lastTakenRow_ != LastRow())
            return;
        const int previous = LastRow();
        int row = 0;
        try {
            row = AppendRow();
        } catch (const GridRangeError&) {
            return;
        }
        Set(row, OrderCol(), ContinuationOrderNumber(Get(previous, OrderCol())));
        Set(row, ColTime, Get(previous, ColTime));
        WriteItemCells(row, cells);
        for (const int col : { int(ColBuyer), int(ColName), int(ColStatus), int(ColRating) })
            Set(row, col, Get(previous, col));
        // The amount stays empty so that a trade is counted once.
        lastTakenRow_ = row;
    }

    static constexpr int kSkippedTrade = -1;

    TradeGrid& grid_;
    int lastTakenRow_ = 0;
    // The row the latest trade header of this page added, or kSkippedTrade.
    int itemTarget_ = kSkippedTrade;
};

void DropBlankLastRow(TradeGrid& grid)
{
    if (grid.Rows() > grid.FixedRows() && grid.TextMatrix(grid.Rows() - 1, ColOrderNumber).isEmpty())
        grid.SetRows(grid.Rows() - 1);
}

} // namespace

bool ExtractTradePage(BrowserPage& browser, TradeGrid& grid, bool extractAll)
{
    bool nextClicked = false;
    SkipOnGridError([&] { SetUpTradeGrid(grid); });
    const QString table = browser.ElementInnerHtml(kTableId);
    SkipOnGridError([&] { DropBlankLastRow(grid); });
    const int startRows = grid.Rows();

    if (!table.isEmpty()) {
        TablePageParser(grid).ParseRows(BodyRowsText(table));
        // The click comes first so the browser loads the next page while
        // the details download.
        if (extractAll)
            nextClicked = !FindLinkAndClick(browser, kNextPage, true, QStringLiteral("A")).isEmpty();
        // Trades listed here whose details failed before are fetched again.
        DownloadTradeDetails(grid, grid.Rows() - startRows, !extractAll, FailedDetailsListedIn(table));
        if (!extractAll)
            FinishDetailDownloads(grid, true);
    }

    if (grid.Rows() == grid.FixedRows())
        ShowMessage(kNoTrades);
    return nextClicked;
}

bool ShowsTradeList(BrowserPage& browser)
{
    return !browser.ElementInnerHtml(kTableId).isEmpty();
}

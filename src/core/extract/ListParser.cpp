#include "ListParser.h"

#include "DetailDownloadPass.h"
#include "ListRowCutter.h"
#include "PieceText.h"
#include "TradeDetails.h"
#include "core/base/Logging.h"
#include "core/context/RunContext.h"
#include "core/grid/GridSetup.h"
#include "core/grid/GridSteps.h"
#include "core/grid/TradeGrid.h"
#include "core/network/BrowserPage.h"
#include "core/network/PageAccess.h"
#include "core/text/TextHelpers.h"

#include <array>

namespace {

const QString kTableId = QStringLiteral("J_ListTable");
constexpr QStringView kOrderLabel = u"订单编号";
constexpr QStringView kOrderMarker = u"订单编号：";
constexpr QStringView kTimeMarker = u"成交时间：";
constexpr QStringView kComplaint = u"投诉维权";
constexpr QStringView kChatTool = u"旺旺";
const QString kNextPage = QStringLiteral("下一页");
const QString kNoTrades = QStringLiteral("没有提取到交易记录，请在下面网页点开淘宝店铺“已卖出的宝贝”页面！");

// Row kinds by the number of pieces a row gives when split at "</TD>".
constexpr int kHeaderPieces = 2;
constexpr int kItemPieces = 9;
constexpr int kContinuationPieces = 5;
static_assert(kItemPieces <= ListRowCutter::kKeptPieces);

// The text after the first marker; the whole text when it has none.
QStringView AfterMarker(QStringView text, QStringView marker)
{
    const qsizetype at = text.indexOf(marker);
    return at < 0 ? text : text.sliced(at + marker.size());
}

// Blanks as a list cell may hold them: white space, and the no-break space
// either as a character or as the serializer's entity.
QStringView SkipBlanks(QStringView text)
{
    static constexpr QStringView kNbspEntity = u"&nbsp;";
    for (;;) {
        if (!text.isEmpty() && (text.front().isSpace() || text.front() == QChar::Nbsp))
            text = text.sliced(1);
        else if (text.startsWith(kNbspEntity))
            text = text.sliced(kNbspEntity.size());
        else
            return text;
    }
}

// A header cell's order number is the run of digits after the label;
// whatever follows them (a blank, "&nbsp;", the time label itself) ends it.
struct HeaderOrder {
    QStringView number;
    QStringView rest; // the cell after the number
};

HeaderOrder CutOrderNumber(QStringView cell)
{
    const QStringView after = SkipBlanks(AfterMarker(cell, kOrderMarker));
    qsizetype digits = 0;
    while (digits < after.size() && after.at(digits) >= u'0' && after.at(digits) <= u'9')
        ++digits;
    return { after.first(digits), after.sliced(digits) };
}

// The cell's first blank-delimited word, or the whole cell without blanks.
QString ItemTitle(QStringView cell)
{
    const FirstWordCut cut = CutFirstWord(TrimBlanks(cell));
    return (cut.hasBlank ? cut.word : cut.rest).toString();
}

QString AfterSales(QStringView cell)
{
    if (!cell.contains(kComplaint))
        return TrimBlanks(cell).toString();
    return TrimBlanks(cell.toString().remove(kComplaint.toString()));
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
    const double next = LeadingNumber(QStringView(previous).sliced(lastMark + 1)) + 1;
    return previous.left(firstMark) + QLatin1Char('_') + NumberText(next);
}

// One shared copy of texts that repeat from trade to trade (statuses,
// ratings): the grid keeps one text for them all instead of a new one per
// cell, and the parse saves the allocation.
class RepeatedTexts {
public:
    QString Get(QStringView text)
    {
        for (const QString& known : known_)
            if (known.size() == text.size() && known == text)
                return known;
        QString& slot = known_[next_++ % known_.size()];
        slot = text.toString();
        return slot;
    }

private:
    std::array<QString, 8> known_;
    size_t next_ = 0;
};

// Reads the rows of one list page into the grid. Cells are cut by views,
// so a cell costs no copy but the grid text it becomes.
class TablePageParser {
public:
    explicit TablePageParser(TradeGrid& grid)
        : grid_(grid)
    {
    }

    void ParseRows(QStringView table)
    {
        ListRowCutter rows(table);
        while (rows.NextRow()) {
            switch (rows.PieceCount()) {
            case kHeaderPieces:
                SkipOnGridError([&] { HeaderRow(rows.Piece(0)); });
                break;
            case kItemPieces:
                ItemRow(rows);
                break;
            case kContinuationPieces:
                ContinuationRow(rows);
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

    void HeaderRow(QStringView cell)
    {
        if (!cell.contains(kOrderLabel))
            return;
        // A new trade begins: item rows below belong to it, never to the
        // trade above, even when this one is already in the grid.
        lastTakenRow_ = 0;
        itemTarget_ = kSkippedTrade;
        const HeaderOrder order = CutOrderNumber(cell);
        if (order.number.isEmpty()) {
            qCWarning(lcExtract) << "list header without an order number skipped:" << cell.left(200);
            return;
        }
        const QString orderNumber = order.number.toString();
        const QString timeOfSale = TrimBlanks(SkipBlanks(AfterMarker(order.rest, kTimeMarker))).toString();
        if (grid_.FindOrderRow(orderNumber) >= 0)
            return; // already extracted; its item rows are skipped below
        const int row = AppendRow();
        itemTarget_ = row;
        Set(row, OrderCol(), orderNumber);
        Set(row, ColTime, timeOfSale);
    }

    // Item, price, quantity and after-sales: cells 0 to 3 of both item row kinds.
    void WriteItemCells(int row, const ListRowCutter& rows)
    {
        Set(row, ItemCol(), ItemTitle(rows.Piece(0)));
        Set(row, ColUnitPrice, CellNumber(rows.Piece(1)));
        Set(row, ColQuantity, CellNumber(rows.Piece(2)));
        Set(row, ColAfterSales, AfterSales(rows.Piece(3)));
    }

    void ItemRow(const ListRowCutter& rows)
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
        WriteItemCells(row, rows);
        const FirstWordCut buyer = CutFirstWord(rows.Piece(4));
        Set(row, ColBuyer, buyer.word.toString());
        QStringView rest = TrimBlanks(buyer.rest);
        const qsizetype chat = rest.indexOf(kChatTool);
        Set(row, ColName, chat < 0 ? QString() : TrimBlanks(rest.first(chat)).toString());
        Set(row, ColStatus, statuses_.Get(CutFirstWord(rows.Piece(5)).word));
        Set(row, ColAmount, CellNumber(rows.Piece(6)));
        Set(row, ColRating, ratings_.Get(rows.Piece(7)));
        lastTakenRow_ = row;
    }

    // A further item of the trade above: taken while the last grid row is
    // this page's latest item row or a further item that followed it, so
    // every item of a trade reaches the grid. One at the top of a page,
    // whose trade began on the previous page, is not taken.
    void ContinuationRow(const ListRowCutter& rows)
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
        WriteItemCells(row, rows);
        for (const int col : { int(ColBuyer), int(ColName), int(ColStatus), int(ColRating) })
            Set(row, col, Get(previous, col));
        // The amount stays empty so that a trade is counted once.
        lastTakenRow_ = row;
    }

    static constexpr int kSkippedTrade = -1;

    TradeGrid& grid_;
    RepeatedTexts statuses_;
    RepeatedTexts ratings_;
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

void ParseListTable(TradeGrid& grid, QStringView table)
{
    TablePageParser(grid).ParseRows(table);
}

bool ExtractTradePage(RunContext& run, BrowserPage& browser, TradeGrid& grid, bool extractAll)
{
    DetailDownloadPass pass;
    return ExtractTradePage(run, browser, grid, extractAll, pass);
}

bool ExtractTradePage(
    RunContext& run, BrowserPage& browser, TradeGrid& grid, bool extractAll, DetailDownloadPass& pass)
{
    bool nextClicked = false;
    SkipOnGridError([&] { SetUpTradeGrid(grid, run.measurer); });
    const QString table = browser.ElementInnerHtml(kTableId);
    SkipOnGridError([&] { DropBlankLastRow(grid); });
    const int startRows = grid.Rows();

    if (!table.isEmpty()) {
        ParseListTable(grid, table);
        // The click comes first so the browser loads the next page while
        // the details download.
        if (extractAll)
            nextClicked = !FindLinkAndClick(browser, kNextPage, true, QStringLiteral("A")).isEmpty();
        // Trades listed here whose details failed before are fetched again.
        DownloadTradeDetails(run, grid, grid.Rows() - startRows, !extractAll, run.details.FailedListedIn(table), pass);
        if (!extractAll)
            if (const QString told = DetailShortfallMessage(FinishDetailDownloads(run, grid, true, pass)); !told.isEmpty())
                run.Prompt().ShowMessage(told);
    }

    if (grid.Rows() == grid.FixedRows())
        run.Prompt().ShowMessage(kNoTrades);
    return nextClicked;
}

bool ShowsTradeList(BrowserPage& browser)
{
    return !browser.ElementInnerHtml(kTableId).isEmpty();
}

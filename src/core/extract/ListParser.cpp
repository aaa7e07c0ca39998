#include "ListParser.h"

#include "ListRowCutter.h"
#include "MarkupText.h"
#include "core/base/Logging.h"
#include "core/grid/GridSetup.h"
#include "core/grid/GridSteps.h"
#include "core/grid/ItemRecord.h"
#include "core/grid/TradeGrid.h"
#include "core/text/Blanks.h"
#include "core/text/PieceText.h"
#include "core/text/TextHelpers.h"
#include "core/trade/ColumnTable.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <utility>

namespace {

const QString kTableId = QString::fromLatin1(kListTableId);
constexpr QStringView kOrderMarker = u"订单编号：";
constexpr QStringView kTimeMarker = u"成交时间：";
constexpr QStringView kComplaint = u"投诉维权";
constexpr QStringView kChatTool = u"旺旺";

// Row kinds by the number of pieces a row gives when split at "</TD>".
constexpr int kHeaderPieces = 2;
constexpr int kItemPieces = 9;
constexpr int kContinuationPieces = 5;
static_assert(kItemPieces <= ListRowCutter::kKeptPieces);

// Blanks as a list cell may hold them: white space, and the no-break space
// either as a character or as the serializer's entity.
QStringView SkipBlanks(QStringView text)
{
    for (;;) {
        if (!text.isEmpty() && IsAnyBlank(text.front()))
            text = text.sliced(1);
        else if (text.startsWith(kNbspEntity))
            text = text.sliced(kNbspEntity.size());
        else
            return text;
    }
}

constexpr qsizetype kDateTimeLength = 19; // yyyy-MM-dd hh:mm:ss

// The text up to the first blank of any kind (blank, no-break space,
// "&nbsp;", line break) or stop, whichever comes first; the whole text
// when it has none.
QStringView UpToBlank(QStringView text, QStringView stop = {})
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (IsAnyBlank(c) || c == u'<' || (c == u'&' && text.sliced(i).startsWith(kNbspEntity))
            || (!stop.isEmpty() && c == stop.front() && text.sliced(i).startsWith(stop)))
            return text.first(i);
    }
    return text;
}

// The header row's order number: the run after "订单编号：" up to a blank
// of any kind, "<" or the time label, in whichever cell holds the label.
// The time of sale: the date and time after "成交时间：", wherever it
// stands (whatever follows them in the cell is not part of it). Empty when
// a label is missing.
struct HeaderFields {
    QStringView orderNumber;
    QStringView timeOfSale;
    bool hasOrderLabel = false;
    int labels = 0; // "订单编号：" labels in the row: trades it lists
};

HeaderFields ReadHeaderFields(const ListRowCutter& rows)
{
    HeaderFields fields;
    // One quick look at the row tells the item rows, most of a page, apart.
    if (!rows.RowHas(kOrderMarker.front().unicode()))
        return fields;
    const QStringView row = rows.RowText();
    const qsizetype orderAt = row.indexOf(kOrderMarker);
    if (orderAt < 0)
        return fields;
    fields.hasOrderLabel = true;
    for (qsizetype at = orderAt; at >= 0; at = row.indexOf(kOrderMarker, at + kOrderMarker.size()))
        ++fields.labels;
    fields.orderNumber = UpToBlank(SkipBlanks(rows.PieceFrom(orderAt + kOrderMarker.size())), kTimeMarker);
    if (const qsizetype timeAt = row.indexOf(kTimeMarker); timeAt >= 0) {
        const QStringView time = SkipBlanks(rows.PieceFrom(timeAt + kTimeMarker.size()));
        fields.timeOfSale = time.first(std::min(kDateTimeLength, time.size()));
    }
    return fields;
}

// A cell whose value is its leading number ("123.50" before "(含快递:6.00)"
// or "元") must begin with it, and the number must not run on into a
// thousands separator: "¥12.50" and "1,200" give no number to write.
bool NumberCellFits(QStringView cell, ColumnShape shape)
{
    cell = TrimBlanks(cell);
    qsizetype end = 0;
    while (end < cell.size() && ((cell[end] >= u'0' && cell[end] <= u'9') || cell[end] == u'.'))
        ++end;
    if (end < cell.size() && cell[end] == u',')
        return false;
    return FitsShape(shape, cell.first(end));
}

// The status is its cell's first text (a line break between its paragraph
// and the links counts as a blank), its first word, without the "详情" link
// that follows it when no blank stands between them (a cell of the link
// alone has none).
QStringView StatusOfCell(QStringView cell)
{
    static constexpr QStringView kDetailLink = u"详情";
    QStringView status = UpToBlank(TrimBlanks(cell));
    if (status.endsWith(kDetailLink))
        status.chop(kDetailLink.size());
    return status;
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
// so a cell costs no copy but the grid text it becomes. Every value is
// checked against its column's shape before it is written; a trade with a
// value that fails is named, and the row that held it is not written.
class TablePageParser {
public:
    explicit TablePageParser(TradeGrid& grid)
        : grid_(grid)
    {
    }

    ListPageReading ParseRows(QStringView table)
    {
        ListRowCutter rows(table);
        bool bodyCounted = false; // the current table body has a row of cells
        while (rows.NextRow()) {
            if (rows.OpensBody()) {
                EndTrade();
                bodyCounted = false;
            }
            // A row of an item's cells is an item row whatever its text
            // holds: a title that quotes "订单编号：" starts no trade.
            // A longer row is an item row with a cell more when its price
            // and quantity stand right after the first cell, and the
            // other template's header and first item when they stand one
            // cell later.
            const bool itemShape = rows.PieceCount() == kItemPieces || rows.PieceCount() == kContinuationPieces
                || (rows.PieceCount() > kItemPieces && ItemCellsFit(rows, 1) && !ItemCellsFit(rows, 2));
            const HeaderFields header = itemShape ? HeaderFields {} : ReadHeaderFields(rows);
            reading_.listed += header.labels;
            if (header.hasOrderLabel && rows.PieceCount() > kHeaderPieces
                && !std::exchange(bodyCounted, true))
                ++reading_.bodiesWithCells;
            if (header.hasOrderLabel) {
                HeaderRow(header);
                continue;
            }
            switch (rows.PieceCount()) {
            case kItemPieces:
                ItemRow(rows);
                break;
            case kContinuationPieces:
                ContinuationRow(rows);
                break;
            default:
                if (rows.PieceCount() <= kHeaderPieces)
                    break; // table furniture, notes
                OddRow();
                break;
            }
            if (rows.PieceCount() > kHeaderPieces) {
                ++reading_.rowsOfCells;
                if (!std::exchange(bodyCounted, true))
                    ++reading_.bodiesWithCells;
            }
        }
        EndTrade();
        return reading_;
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

    void Name(const QString& orderNumber, const char* why, FindingKind kind = FindingKind::ListRowShape,
        int column = -1, const QString& seen = {})
    {
        qCWarning(lcExtract) << "list row of trade" << orderNumber << "not read:" << why;
        reading_.findings.append(TradeFinding(orderNumber, kind, column, seen));
    }

    // The trade whose rows were being read ends: one whose first item row
    // never came (a row of another shape, another template) is named.
    void EndTrade()
    {
        if (itemTarget_ != kSkippedTrade && lastTakenRow_ == 0)
            Name(Get(itemTarget_, OrderCol()), "no item row of the expected shape");
        lastTakenRow_ = 0;
        itemTarget_ = kSkippedTrade;
        currentOrder_.clear();
    }

    void HeaderRow(const HeaderFields& header)
    {
        // A new trade begins: item rows below belong to it, never to the
        // trade above, even when this one is already in the grid.
        EndTrade();
        if (header.orderNumber.isEmpty()) {
            qCWarning(lcExtract) << "list header without an order number skipped";
            return;
        }
        const QString orderNumber = header.orderNumber.toString();
        ++reading_.read;
        if (!FitsShape(ColumnShape::OrderNumber, orderNumber)) {
            Name(orderNumber, "order number is not all digits", FindingKind::OrderNumberShape, ColOrderNumber,
                orderNumber);
            return;
        }
        if (grid_.FindOrderRow(orderNumber) >= 0)
            return; // already extracted; its item rows are skipped below
        const bool timeFits = FitsShape(ColumnShape::DateTime, header.timeOfSale);
        const int row = AppendRow();
        itemTarget_ = row;
        currentOrder_ = orderNumber;
        Set(row, OrderCol(), orderNumber);
        Set(row, ColTime, timeFits ? header.timeOfSale.toString() : QString());
        if (!timeFits)
            Name(orderNumber, "time of sale is not a date and time", FindingKind::FieldShape, ColTime,
                header.timeOfSale.toString());
    }

    // Price and quantity, the cells every item row has.
    static bool ItemCellsFit(const ListRowCutter& rows, int priceCell = 1)
    {
        return NumberCellFits(rows.Piece(priceCell), ColumnShape::Decimal)
            && NumberCellFits(rows.Piece(priceCell + 1), ColumnShape::Quantity);
    }

    // Item, price, quantity and after-sales: cells 0 to 3 of both item row kinds.
    void WriteItemCells(int row, const ListRowCutter& rows)
    {
        const QString price = CellNumber(rows.Piece(1));
        const QString quantity = CellNumber(rows.Piece(2));
        Set(row, ItemCol(), DecodeEntities(ItemTitle(rows.Piece(0))));
        Set(row, ColUnitPrice, price);
        Set(row, ColQuantity, quantity);
        Set(row, ColAfterSales, DecodeEntities(AfterSales(rows.Piece(3))));
        Set(row, ColItemRecord, ItemRecordLine({ Get(row, OrderCol()), price, quantity, FullItemText(rows.Piece(0)) }));
    }

    // A row of a shape the parser does not know, inside a trade: the trade
    // is named, and its later items are not taken.
    void OddRow()
    {
        if (itemTarget_ == kSkippedTrade)
            return;
        Name(currentOrder_, "a row of another shape");
        if (lastTakenRow_ == 0)
            lastTakenRow_ = -1; // named already; no second name at its end
        itemTarget_ = kSkippedTrade;
    }

    void ItemRow(const ListRowCutter& rows)
    {
        // Only the header row this page has just added (no item yet) takes
        // the trade's first item. Items of a trade already in the grid, and
        // items above the page's first header, are skipped rather than
        // written into an earlier trade that still lacks them.
        const int row = LastRow();
        if (itemTarget_ != row || lastTakenRow_ != 0)
            return;
        const QStringView status = StatusOfCell(rows.PieceFirstLine(5));
        if (!ItemCellsFit(rows) || !NumberCellFits(rows.Piece(6), ColumnShape::Decimal)
            || !FitsShape(ColumnShape::Status, status)) {
            OddRow();
            return;
        }
        WriteItemCells(row, rows);
        const FirstWordCut buyer = CutFirstWord(rows.Piece(4));
        Set(row, ColBuyer, DecodeEntities(buyer.word));
        QStringView rest = TrimBlanks(buyer.rest);
        const qsizetype chat = rest.indexOf(kChatTool);
        Set(row, ColName, chat < 0 ? QString() : DecodeEntities(TrimBlanks(rest.first(chat))));
        Set(row, ColStatus, statuses_.Get(status));
        // Written as the page shows it, but nothing is decided on it.
        if (!IsKnownStatus(status))
            reading_.findings.append(TradeFinding(currentOrder_, FindingKind::StatusNotKnown, ColStatus,
                status.toString(), FindingSeverity::ToCheck));
        Set(row, ColAmount, CellNumber(rows.Piece(6)));
        Set(row, ColRating, ratings_.Get(DecodeEntities(rows.Piece(7))));
        lastTakenRow_ = row;
    }

    // A further item of the trade above: taken while the last grid row is
    // this page's latest item row or a further item that followed it, so
    // every item of a trade reaches the grid. One at the top of a page,
    // whose trade began on the previous page, is not taken.
    void ContinuationRow(const ListRowCutter& rows)
    {
        if (lastTakenRow_ <= 0 || lastTakenRow_ != LastRow() || itemTarget_ == kSkippedTrade)
            return;
        if (!ItemCellsFit(rows)) {
            OddRow();
            return;
        }
        const int previous = LastRow();
        const int row = AppendRow();
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
    ListPageReading reading_;
    // The grid row of the latest item this trade gave; 0 before its first,
    // -1 for a trade already named.
    int lastTakenRow_ = 0;
    // The row the latest trade header of this page added, or kSkippedTrade.
    int itemTarget_ = kSkippedTrade;
    QString currentOrder_;
};

} // namespace

ListPageReading ParseListTable(TradeGrid& grid, QStringView table)
{
    return TablePageParser(grid).ParseRows(table);
}

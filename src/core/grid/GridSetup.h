#pragma once
// Shape of the trade grid: two header rows, 25 columns shown and two kept
// out of sight. The sheet an export writes holds the first 23 shown ones,
// and the two note columns after them only when asked.

#include "TradeStatus.h"

#include <QStringList>
#include <QVector>

class TradeGrid;
class TextMeasurer;

inline constexpr int kTradeGridCols = 27;
inline const char* const kTradeGridTag = "交易记录";

// Column indices of the trade grid.
enum TradeColumn : int {
    ColStrip = 0,
    ColSequence = 1,
    ColOrderNumber = 2,
    ColTime = 3,
    ColItem = 4,
    ColUnitPrice = 5,
    ColQuantity = 6,
    ColAfterSales = 7,
    ColBuyer = 8,
    ColName = 9,
    ColStatus = 10,
    ColAmount = 11,
    ColRating = 12,
    ColRecipient = 13,
    ColMobile = 14,
    ColTelephone = 15,
    ColProvince = 16,
    ColCity = 17,
    ColDistrict = 18,
    ColAddress = 19,
    ColPostcode = 20,
    ColCompany = 21,
    ColWaybill = 22,
    // The order's 买家留言 and 卖家备注 as its detail page gives them.
    ColBuyerMessage = 23,
    ColSellerMemo = 24,
    // Hidden: one line per item the row holds (ItemRecord.h), so that the
    // documents printed from the grid know every item in full, merged or not.
    ColItemRecord = 25,
    // Hidden: one line per trade with a message or memo (NoteRecord.h), so
    // that a merged row still knows whose text is whose.
    ColNoteRecord = 26,
};

// Columns from here on travel with their rows but are neither shown nor
// exported: the sheet stays as it always was.
inline constexpr int kShownTradeColumns = ColItemRecord;
// The sheet's columns without the notes: the sheet as it always was.
inline constexpr int kSheetTradeColumns = ColBuyerMessage;

// Whether an export adds the buyer's message and the seller's memo at the
// end of the sheet.
enum class ExportNotes { Without, With };

// A trade's further items carry its order number, "_" and a count; the
// trade's own row holds the number alone.
inline bool IsFurtherItemOrder(const QString& orderNumber)
{
    return orderNumber.contains(QLatin1Char('_'));
}

// The trade an order row belongs to: 123_2 → 123.
inline QString TradeOfOrder(const QString& orderNumber)
{
    const qsizetype mark = orderNumber.indexOf(QLatin1Char('_'));
    return mark < 0 ? orderNumber : orderNumber.left(mark);
}

QStringList TradeGridTitles();
QStringList TradeGridLetters();

// Sets the grid up once (Tag "交易记录" marks it); a second call does nothing.
// The measurer is the main window's text width; without one (headless
// runs) the columns are fitted to an approximation of the window's font.
void SetUpTradeGrid(TradeGrid& grid, const TextMeasurer* measurer = nullptr);
// SimSun 9 point at 96 dpi, character by character: the width headless runs
// fit columns to.
const TextMeasurer& ApproximateTradeGridMeasurer();

// The columns an export writes from: those of the trade grid's sheet (hidden
// ones among them are skipped by width), then its note columns when asked;
// every column of any other grid.
QVector<int> ExportedColumns(const TradeGrid& grid, ExportNotes notes = ExportNotes::Without);

void BuildGridHeader(TradeGrid& grid, const QStringList& letters, const QStringList& titles);

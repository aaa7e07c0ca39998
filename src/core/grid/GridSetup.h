#pragma once
// Shape of the trade grid: two header rows, 23 columns shown and one kept
// out of sight.

#include "TradeStatus.h"

#include <QStringList>

class TradeGrid;
class TextMeasurer;

inline constexpr int kTradeGridCols = 24;
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
    // Hidden: one line per item the row holds (ItemRecord.h), so that the
    // documents printed from the grid know every item in full, merged or not.
    ColItemRecord = 23,
};

// Columns from here on travel with their rows but are neither shown nor
// exported: the sheet stays as it always was.
inline constexpr int kShownTradeColumns = ColItemRecord;

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

// The columns an export writes from: those of the trade grid that are
// shown (hidden ones among them are skipped by width), every column of any
// other grid.
int ExportedColumnCount(const TradeGrid& grid);

void BuildGridHeader(TradeGrid& grid, const QStringList& letters, const QStringList& titles);

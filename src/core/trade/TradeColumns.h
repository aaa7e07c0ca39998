#pragma once
// The columns of a trade row: 25 shown and two kept out of sight. The sheet
// an export writes holds the first 23 shown ones, and the two note columns
// after them only when asked. Every layer that names a column reads it here.

inline constexpr int kTradeGridCols = 27;

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

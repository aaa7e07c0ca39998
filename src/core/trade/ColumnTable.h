#pragma once
// Every fact about a trade-grid column in one place: its title, how the
// merge folds it, where its value is read from, and the shape a value must
// have before it is written. A value that does not fit its shape is left
// out and its trade named: an empty cell on a shipping sheet is noticed, a
// wrong one is shipped.

#include "core/trade/TradeColumns.h"

#include "core/text/Blanks.h"

#include <QString>
#include <QStringView>

#include <iterator>

enum class MergeMode { Untouched, Key, Sum, Join };

// Where a column's value comes from.
enum class ColumnSource {
    Grid, // the strip and the sequence number
    ListHeader, // the trade's header row, by its label
    ListItem, // the item's own cells
    ListTrade, // the trade's cells that span its item rows
    DetailPage, // the detail page's recipient and logistics block, and its notes
    DetailRecord, // kept from the detail page's notes for the documents
};

enum class ColumnShape {
    Text, // free text
    OrderNumber, // digits
    DateTime, // yyyy-MM-dd hh:mm:ss
    Decimal, // a number such as 12.5
    Quantity, // a whole number of at least 1
    Status, // not empty, no blank of any kind
    Mobile, // 11 digits starting with 1 ("*" for hidden ones), perhaps "-" or "转" and an extension; or empty
    Telephone, // 0571-88886666, perhaps "-" and an extension; a second mobile; or empty
    Division, // province, city or district: checked against the division list
    Postcode, // 6 digits, or empty
    Company, // not a waybill-like run of letters and digits
    Waybill, // letters and digits (empty when the trade has not shipped)
};

struct ColumnFacts {
    TradeColumn column;
    const char16_t* title;
    MergeMode merge;
    ColumnSource source;
    ColumnShape shape;
};

// clang-format off
inline constexpr ColumnFacts kTradeColumns[] = {
    { ColStrip,       u"",          MergeMode::Untouched, ColumnSource::Grid,       ColumnShape::Text },
    { ColSequence,    u"序号",       MergeMode::Untouched, ColumnSource::Grid,       ColumnShape::Text },
    { ColOrderNumber, u"订单编号",    MergeMode::Join,      ColumnSource::ListHeader, ColumnShape::OrderNumber },
    { ColTime,        u"成交时间",    MergeMode::Join,      ColumnSource::ListHeader, ColumnShape::DateTime },
    { ColItem,        u"宝贝",       MergeMode::Join,      ColumnSource::ListItem,   ColumnShape::Text },
    { ColUnitPrice,   u"单价(元)",    MergeMode::Join,      ColumnSource::ListItem,   ColumnShape::Decimal },
    { ColQuantity,    u"数量",       MergeMode::Sum,       ColumnSource::ListItem,   ColumnShape::Quantity },
    { ColAfterSales,  u"售后",       MergeMode::Join,      ColumnSource::ListItem,   ColumnShape::Text },
    { ColBuyer,       u"买家",       MergeMode::Join,      ColumnSource::ListTrade,  ColumnShape::Text },
    { ColName,        u"姓名",       MergeMode::Join,      ColumnSource::ListTrade,  ColumnShape::Text },
    { ColStatus,      u"交易状态",    MergeMode::Join,      ColumnSource::ListTrade,  ColumnShape::Status },
    { ColAmount,      u"实收款(元)",  MergeMode::Sum,       ColumnSource::ListTrade,  ColumnShape::Decimal },
    { ColRating,      u"评价",       MergeMode::Join,      ColumnSource::ListTrade,  ColumnShape::Text },
    { ColRecipient,   u"收件人",     MergeMode::Key,       ColumnSource::DetailPage, ColumnShape::Text },
    { ColMobile,      u"手机",       MergeMode::Join,      ColumnSource::DetailPage, ColumnShape::Mobile },
    { ColTelephone,   u"电话",       MergeMode::Join,      ColumnSource::DetailPage, ColumnShape::Telephone },
    { ColProvince,    u"省",         MergeMode::Key,       ColumnSource::DetailPage, ColumnShape::Division },
    { ColCity,        u"市",         MergeMode::Key,       ColumnSource::DetailPage, ColumnShape::Division },
    { ColDistrict,    u"区",         MergeMode::Key,       ColumnSource::DetailPage, ColumnShape::Division },
    { ColAddress,     u"地址",       MergeMode::Key,       ColumnSource::DetailPage, ColumnShape::Text },
    { ColPostcode,    u"邮编",       MergeMode::Key,       ColumnSource::DetailPage, ColumnShape::Postcode },
    { ColCompany,     u"物流公司",    MergeMode::Key,       ColumnSource::DetailPage, ColumnShape::Company },
    { ColWaybill,     u"单号",       MergeMode::Key,       ColumnSource::DetailPage, ColumnShape::Waybill },
    { ColBuyerMessage, u"买家留言",   MergeMode::Join,      ColumnSource::DetailPage, ColumnShape::Text },
    { ColSellerMemo,  u"卖家备注",    MergeMode::Join,      ColumnSource::DetailPage, ColumnShape::Text },
    { ColItemRecord,  u"宝贝明细",    MergeMode::Join,      ColumnSource::ListItem,   ColumnShape::Text },
    { ColNoteRecord,  u"留言明细",    MergeMode::Join,      ColumnSource::DetailRecord, ColumnShape::Text },
};
// clang-format on

static_assert(std::size(kTradeColumns) == kTradeGridCols, "one entry for every column of the grid");

consteval bool ColumnsInEnumOrder()
{
    for (int i = 0; i < int(std::size(kTradeColumns)); ++i)
        if (kTradeColumns[i].column != i)
            return false;
    return true;
}
static_assert(ColumnsInEnumOrder(), "entry i describes column i");

// The detail page's columns: one run from the first to the last.
consteval int FirstColumnFrom(ColumnSource source)
{
    for (const ColumnFacts& facts : kTradeColumns)
        if (facts.source == source)
            return facts.column;
    return -1;
}
consteval int ColumnCountFrom(ColumnSource source)
{
    int count = 0;
    for (const ColumnFacts& facts : kTradeColumns)
        count += facts.source == source ? 1 : 0;
    return count;
}
inline constexpr int kFirstDetailColumn = FirstColumnFrom(ColumnSource::DetailPage);
inline constexpr int kDetailColumnCount = ColumnCountFrom(ColumnSource::DetailPage);
static_assert(
    kFirstDetailColumn + kDetailColumnCount == kShownTradeColumns, "detail columns end the shown ones");

// The facts of a grid column; nothing for columns beyond the trade grid's.
const ColumnFacts* FactsOfColumn(int col);

// Whether a value may be written into a column of this shape. Division
// columns are checked against the division list elsewhere (they need their
// neighbours); here they only must hold no blank.
bool FitsShape(ColumnShape shape, QStringView value);

#pragma once
// Trades whose pages differ from the usual shape in ways a careless reader
// takes for data: an address line in another order or with other
// separators, a list row with a cell more, a list in another template, a
// detail block without one of its lines, a status without a blank before
// its link, an order number with letters. Chosen by their place in the
// shop like the drift cases, so every seed has them at the same places.

#include "ShopData.h"

namespace demo {

namespace misshape {
// Page 1 (ten trades or more) and page 2 hold every case.
inline constexpr int kAddressReordered = 0; // recipient, street, postcode, mobile, telephone
inline constexpr int kAddressSeparators = 1; // "," between pieces, "&nbsp;" and U+3000 in the street
inline constexpr int kClosedStatusNbsp = 2; // 交易关闭 followed by U+00A0, not a blank
inline constexpr int kFourPiecesNoTelephone = 3; // recipient, mobile, street, postcode
inline constexpr int kHeaderSplit = 4; // the list header in two cells
inline constexpr int kItemExtraCell = 5; // the first item row with a cell more
inline constexpr int kNoMethodLine = 6; // no "运送方式：" line in the detail block
inline constexpr int kShippedNoWaybill = 7; // shipped, no "运单号：" line
inline constexpr int kOrderLetters = 8; // the list shows the order number with "AB" after it
inline constexpr int kStreetNotProvince = 9; // the province run into the city ("浙江杭州市")
inline constexpr int kCityElsewhere = 11; // a city of another province
inline constexpr int kClosedStatusNoBlank = 12; // 交易关闭 with its link right after it
inline constexpr int kOtherTemplate = 13; // header and first item in one row
inline constexpr int kUnpaidTwin = 14; // 等待买家付款 with the recipient of the paid trade below
inline constexpr int kPaidUnshipped = 15;
inline constexpr int kClosedStatusParagraph = 16; // <p>交易关闭</p>, then the links on lines of their own
inline constexpr int kParcelsRepeatedLines = 17; // two parcels: the company and waybill lines twice
inline constexpr int kParcelsUnderHeadings = 18; // two parcels under "包裹1" and "包裹2"
} // namespace misshape

// Applies every case whose trade the shop has, and lists the last trade of
// each page again at the top of the next.
void ApplyMisshapes(Shop& shop);

} // namespace demo

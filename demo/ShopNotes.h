#pragma once
// The buyer's messages (买家留言) and seller's memos (卖家备注) of the shop:
// laid on trades chosen by their place in the shop (index i counts from 0
// over all pages, newest first), never by the seed, so every seed has the
// same cases at the same places. Only those trades' detail pages gain an
// order-information section; every other page stays byte for byte.

#include "ShopData.h"

namespace demo {

namespace notes {
inline constexpr int kBoth = 1; // a message and a memo
inline constexpr int kMessageOnly = 3;
inline constexpr int kMemoOnly = 6;
inline constexpr int kLong = 10; // a message of 500 characters
inline constexpr int kLineBreak = 16; // a message of two lines
inline constexpr int kMarkup = 19; // a message and a memo of markup characters
inline constexpr int kEmoji = 21; // a message with a character beyond the first plane
inline constexpr int kEmptyLabels = 24; // both labels, both empty
} // namespace notes

// The 500-character message of notes::kLong.
QString LongBuyerMessage();

// Lays the messages and memos over the trades the shop has.
void ApplyOrderNotes(Shop& shop);

// The detail page's order-information section of a trade with notes (or
// empty labels); empty for every other trade. GBK pages cannot hold a
// character beyond the first plane: it goes as a numeric entity.
QString OrderInfoSection(const ShopTrade& trade);

} // namespace demo

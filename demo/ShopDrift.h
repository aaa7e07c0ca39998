#pragma once
// Trades whose pages differ from the usual shape, laid over a generated
// shop: virtual goods (top-ups) whose detail page has no shipping block,
// and the marketplace's drift in labels and markup together with the
// look-alike data that trips a careless merge. The trades are chosen by
// their place in the shop, never by the seed, so every seed has the same
// cases at the same places.

#include "ShopData.h"

namespace demo {

// Which trades the drift changes, as indexes into the shop (page 1 holds
// them all when it has eight trades or more).
namespace drift {
// On every page, the trades at these positions have "&nbsp;" between their
// order number and the time in the list header.
inline constexpr int kNbspPositions[] = { 1, 4 };
// The trade with no blank at all there.
inline constexpr int kNoBlankTrade = 6;
// One shipped parcel: one item each, "帽子" 19.90 x 15 above, "帽" 9.90 x 5 below.
inline constexpr int kParcelUpperTrade = 0;
inline constexpr int kParcelLowerTrade = 1;
// The detail page that says "收货人信息：" where it says "收货地址：".
inline constexpr int kRenamedLabelTrade = 3;
// A live unshipped trade (买家已付款) and, below it, a closed one with the
// very same recipient, address line, company and waybill ("—").
inline constexpr int kLiveUnshippedTrade = 6;
inline constexpr int kClosedTwinTrade = 7;
} // namespace drift

// Applies every drift case whose trades the shop has.
void ApplyDrift(Shop& shop);

// Makes the trades at every-1, 2*every-1, ... virtual goods: no recipient
// or shipping texts, a status that needs no shipping, in no parcel. Applied
// after ApplyDrift, it wins over a drift case on the same trade.
void MakeVirtualGoods(Shop& shop, int every);

} // namespace demo

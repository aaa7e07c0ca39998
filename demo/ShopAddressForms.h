#pragma once
// Trades whose address lines take the forms buyers and the marketplace
// write every day, each read whole by a careful reader: a masked mobile
// (138****5678) after or before the street, a mobile with "+86", "86-",
// "0086" or blanks inside, a virtual number with its extension ("-1234",
// "转1234"), a room number as a piece of its own after the street, a
// municipality followed by its district (上海市 浦东新区, 天津市 和平区,
// 重庆市 渝中区), 雄安新区 as a city and under 保定市, and 三沙市 西沙区.
// Each such trade names its form and the cells 收件人 to 邮编 a reader
// writes from its line. Laid over the finished shop, on the first trades
// that have a shipping block and no misshape, so every seed has them.

#include "ShopData.h"

namespace demo {

void ApplyAddressForms(Shop& shop);

} // namespace demo

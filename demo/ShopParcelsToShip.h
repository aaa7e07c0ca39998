#pragma once
// Parcels still to ship whose addresses a courier's import page is picky
// about: a municipality written twice (上海市 上海市 浦东新区 …), an
// autonomous region by its short name (内蒙古 …), a privacy number with its
// extension (17012345678-1234), and three trades to one recipient that
// ship as one parcel. Laid over the finished shop on the first trades with
// a shipping block, no misshape and no everyday address form, so every
// seed has them; each names its form and the cells a reader writes.

#include "ShopData.h"

namespace demo {

void ApplyParcelsToShip(Shop& shop);

} // namespace demo

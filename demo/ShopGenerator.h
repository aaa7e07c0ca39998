#pragma once
// Builds a shop from a seed. The same seed, page count, page size and nick
// always give the same shop, on every platform: the random numbers come
// from std::mt19937_64, whose output the standard fixes, and every
// distribution is written out here. Virtual goods and drift are laid over
// the generated shop afterwards, so without them the shop stays as it was.

#include "ShopData.h"

namespace demo {

struct ShopOptions {
    quint64 seed = 1;
    int pages = 3;
    int perPage = 20;
    QString nick = QStringLiteral("lumetra演示店");
    int virtualEvery = 0; // every Nth trade is virtual goods; 0 for none
    bool drift = false; // the drifting labels and markup of ShopDrift.h
    bool misshape = false; // the pages of another shape of ShopMisshape.h
    bool addressForms = false; // the everyday address lines of ShopAddressForms.h
    int rowsInScriptFrom = 0; // from this list page on, the trades come in a script; 0: never
    bool virtualShop = false; // a shop of top-ups only: every trade delivered, no shipping section
    bool parcelsToShip = false; // the parcels to ship of ShopParcelsToShip.h
    bool renamedSection = false; // every detail page names its shipping section otherwise; nothing to ship
};

Shop GenerateShop(const ShopOptions& options);

} // namespace demo

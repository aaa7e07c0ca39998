#pragma once
// The day's parcels as the packing slips have them, found again by what a
// scanner reads at the bench: the order number on the slip's barcode (the
// parcel's first trade), any other trade's number of the parcel, with or
// without its item suffix ("_1"), or a waybill number the grid holds.

#include "core/print/ShippingDocuments.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class TradeGrid;

struct Parcel {
    PackingSlip slip; // slip.orders: the trades, the first one on the barcode
    QStringList morningStatuses; // each trade's status in the grid, as slip.orders
    QStringList waybills;

    // The number the parcel is known by: its slip's barcode.
    QString Key() const { return slip.orders.value(0); }
};

class ParcelIndex {
public:
    ParcelIndex() = default;
    // The parcels of every row still to ship, as the slips group them.
    ParcelIndex(const TradeGrid& grid, const FindingList& findings);

    int Count() const { return int(parcels_.size()); }
    const Parcel& At(int index) const { return parcels_[index]; }
    // The parcel a scanned code names; none for a code of no parcel.
    std::optional<int> Find(const QString& scanned) const;
    // Whether the code names a trade of the grid that is on no slip (shipped,
    // closed, without a recipient); its status in the grid, else none.
    std::optional<QString> StatusOffSlip(const QString& scanned) const;

private:
    QVector<Parcel> parcels_;
    QHash<QString, int> byCode_;
    QHash<QString, QString> statusOfTrade_; // every trade of the grid
};

// What a scanner typed, as a code: blanks, control characters and a
// scanner's prefix or suffix of blanks dropped.
QString ScannedCode(const QString& typed);

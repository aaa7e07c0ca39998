#pragma once
// Printing the day's slips a second time: when some of them were printed or
// saved before, the seller is asked "其中 N 张发货单已经打印过" and may print
// only the others. The slips printed are remembered per parcel.

#include <functional>

class ParcelMarks;
class QWidget;
struct ShippingDocuments;

// Shows the slips through preview (which says whether they were printed or
// saved), after asking about those printed before; remembers in marks the
// parcels whose slips preview printed.
void PreviewSlipsRemembered(QWidget* parent, const ShippingDocuments& documents, ParcelMarks& marks,
    const std::function<bool(const ShippingDocuments&)>& preview);

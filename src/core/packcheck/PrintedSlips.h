#pragma once
// The slips already printed: a parcel is known by its slip's barcode (its
// first trade's number), so printing the day's slips again can leave out
// the ones that went to the printer before.

#include "core/print/ShippingDocuments.h"

#include <QStringList>

// Every slip's number, in the slips' order.
QStringList SlipKeys(const ShippingDocuments& documents);

// documents with only the slips whose number is not in printed; the
// picking list and the rest as they were.
ShippingDocuments SlipsNotPrinted(const ShippingDocuments& documents, const QStringList& printed);

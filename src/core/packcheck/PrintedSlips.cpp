#include "PrintedSlips.h"

#include <QSet>

QStringList SlipKeys(const ShippingDocuments& documents)
{
    QStringList keys;
    keys.reserve(documents.slips.size());
    for (const PackingSlip& slip : documents.slips)
        keys.append(slip.orders.value(0));
    return keys;
}

ShippingDocuments SlipsNotPrinted(const ShippingDocuments& documents, const QStringList& printed)
{
    const QSet<QString> left(printed.cbegin(), printed.cend());
    ShippingDocuments rest = documents;
    rest.slips.clear();
    for (const PackingSlip& slip : documents.slips)
        if (!left.contains(slip.orders.value(0)))
            rest.slips.append(slip);
    return rest;
}

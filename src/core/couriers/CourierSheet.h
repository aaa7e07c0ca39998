#pragma once
// The courier sheet (快递导入表): one row per parcel waiting to ship, in a
// template's columns, read from the packing slips' parcels, so that a
// parcel is exactly what the merge folds into one row (one recipient, one
// waybill-to-be). A recipient the checks refused is never written; one
// whose address is to be checked is left out unless the seller includes
// it; every trade left out is named with its reason.

#include "CourierTemplate.h"
#include "core/print/ShippingDocuments.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The sender (寄件人) as stored in the settings, or given for one run.
struct CourierSender {
    QString name;
    QString phone;
    QString address; // one line: 省 市 区 and street, with blanks or run together
};

struct CourierChoices {
    bool includeToCheck = false; // write the parcels whose address is to be checked too
};

// A trade to ship that is not on the sheet.
struct LeftOutTrade {
    QString order;
    QString reason;
};

struct CourierSheet {
    QString templateName;
    QStringList header;
    QVector<QStringList> rows; // one per parcel, as many cells as the header
    QVector<LeftOutTrade> leftOut; // in the order of the grid
    int toCheckLeftOut = 0; // parcels left out because their address is to be checked
    int toCheckWritten = 0; // parcels written although their address is to be checked
};

// Done when the template can be filled with this sender; else why not, for
// the seller (a sender field it needs is empty, or the address has no
// province the list knows where the template splits it).
Done CheckCourierSender(const CourierTemplate& courierTemplate, const CourierSender& sender);

// The sheet of documents' parcels in the template's columns; call only
// when CheckCourierSender is done.
CourierSheet BuildCourierSheet(const ShippingDocuments& documents, const CourierTemplate& courierTemplate,
    const CourierSender& sender, const CourierChoices& choices = {});

// What the seller is told about the rows: every trade left out with its
// reason, the parcels to check left out or written, or that nothing ships.
QStringList CourierSheetMessages(const CourierSheet& sheet);

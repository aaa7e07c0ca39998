#pragma once
// The courier sheet from the day's parcels to a file, as the window's
// "导出快递导入表…" and the unattended run's --courier-sheet both do it:
// the request is checked before anything is read (the template, the
// sender, the file's place), then the sheet is built and written, and the
// outcome says what the seller is told.

#include "CourierSheet.h"
#include "CourierWriter.h"

#include <QDate>
#include <QString>
#include <QStringList>

struct CourierRequest {
    QString path;
    QString templateName = QString::fromUtf8(kSplitAddressTemplate);
    CourierSender sender;
    CourierChoices choices;
    QString templateFolder = CourierTemplateFolder();
};

struct [[nodiscard]] CourierOutcome {
    CourierWriteStatus status = CourierWriteStatus::Refused;
    QStringList toTell; // in order: what was left out, then how the file went
    QString reason; // for the log when not written; empty when written
    int parcels = 0; // rows written
    int leftOut = 0; // trades to ship not on the sheet

    bool IsWritten() const { return status == CourierWriteStatus::Written; }
};

// What stops the request before any parcel is read: a template that is
// not there or has a bad line, a sender the template needs but lacks, a
// file that cannot go there. Done with the template found when nothing
// does; else the reason, for the seller.
CourierTemplateRead CheckCourierRequest(const CourierRequest& request);

// Checks, builds and writes the sheet of documents' parcels.
CourierOutcome ExportCourierSheet(const ShippingDocuments& documents, const CourierRequest& request);

// "快递导入-分列地址-2026-12-08.xlsx": what the save dialog offers.
QString SuggestedCourierFileName(const QString& templateName, const QDate& date);

#pragma once
// Where the shipping documents become pages. Core collects what the
// documents say (ShippingDocuments.h); painting them needs Qt's painting
// and printing modules, which core does not link. The program hands a
// printer to the unattended run; tests of the run may hand a fake.

#include "core/settings/SlipPaper.h"

#include <QString>

struct ShippingDocuments;

enum class ShippingDocument { PickingList, PackingSlips };

// How writing a document ended.
enum class DocumentStatus {
    Written,
    Refused, // no file can go there (a folder, a read-only file): nothing was painted
    Failed, // the pages could not be made or the file not replaced; an earlier file is as it was
};

struct [[nodiscard]] DocumentWritten {
    DocumentStatus status = DocumentStatus::Failed;
    QString toTell; // why it was not written, for the user; empty when written
    int pages = 0;

    bool IsWritten() const { return status == DocumentStatus::Written; }
};

class DocumentPrinter {
public:
    virtual ~DocumentPrinter() = default;
    // Writes the document as a PDF file at path. The file is replaced only
    // once it is whole: on failure an earlier file stays as it was.
    virtual DocumentWritten WritePdf(
        const ShippingDocuments& documents, ShippingDocument which, SlipPaper paper, const QString& path)
        = 0;
};

// The name a message gives the document: 拣货单 or 发货单.
inline QString DocumentName(ShippingDocument which)
{
    return which == ShippingDocument::PickingList ? QStringLiteral("拣货单") : QStringLiteral("发货单");
}

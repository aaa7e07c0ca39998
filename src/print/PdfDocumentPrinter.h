#pragma once
// Writes the shipping documents as PDF files, fonts embedded.

#include "core/print/DocumentPrinter.h"

class PdfDocumentPrinter : public DocumentPrinter {
public:
    DocumentWritten WritePdf(
        const ShippingDocuments& documents, ShippingDocument which, SlipPaper paper, const QString& path) override;
};

#pragma once
// The print preview of a shipping document: the seller picks a printer
// there, or saves the same pages as a PDF file.

#include "core/documents/DocumentPrinter.h"

class QWidget;
struct ShippingDocuments;

// Opens the preview (modal) and returns once it is closed. Printing moves
// the pages by the offset stored for the chosen printer.
void ShowDocumentPreview(QWidget* parent, const ShippingDocuments& documents, ShippingDocument which, SlipPaper paper);

#pragma once
// The print preview of a shipping document: the seller picks a printer
// there, or saves the same pages as a PDF file.

#include "core/documents/DocumentPrinter.h"

class QWidget;
class Settings;
struct ShippingDocuments;

// Opens the preview (modal) and returns once it is closed, with the slips
// on the paper settings holds. Printing moves the pages by the offset
// settings holds for the chosen printer. True when the pages were printed
// or saved as a PDF file.
bool ShowDocumentPreview(
    QWidget* parent, const ShippingDocuments& documents, ShippingDocument which, const Settings& settings);

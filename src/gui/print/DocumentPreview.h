#pragma once
// The print preview of a shipping document: the seller picks a printer
// there, or saves the same pages as a PDF file.

#include "core/print/DocumentPrinter.h"

#include <QDate>
#include <QString>

class QWidget;
class Settings;
struct ShippingDocuments;

// Opens the preview (modal) and returns once it is closed, with the slips
// on the paper settings holds. Printing moves the pages by the offset
// settings holds for the chosen printer. Saving a PDF remembers its folder
// as the export folder. True when the pages were printed or saved as a PDF
// file.
bool ShowDocumentPreview(
    QWidget* parent, const ShippingDocuments& documents, ShippingDocument which, Settings& settings);

// Where "保存为PDF" offers to write: the export folder's (the last export,
// else the documents folder) "拣货单-2026-12-08.pdf", dated as the sheet's
// name ("淘宝发货信息-2026-12-08.csv") is.
QString SuggestedPdfPath(const Settings& settings, ShippingDocument which, const QDate& date);

// "保存为PDF": asks where (a save dialog starting at SuggestedPdfPath),
// writes the document there and says where it was written, or why not.
// Returns the path written; empty when cancelled or not written.
QString SaveDocumentPdf(QWidget* parent, const ShippingDocuments& documents, ShippingDocument which,
    SlipPaper paper, Settings& settings);

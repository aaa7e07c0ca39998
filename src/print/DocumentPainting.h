#pragma once
// Paints the shipping documents onto a paged device: a PDF writer, or the
// printer of the print preview. Both documents are laid out in two passes,
// the pages first and then the paint, so every page can say "第 i / n 页".

#include "core/print/DocumentPrinter.h"

#include <QPointF>
#include <functional>

class QPagedPaintDevice;
struct ShippingDocuments;

// The family every document text is set in. Named explicitly: without it
// the CJK fallback may pick the Japanese forms of shared characters.
inline constexpr const char* kDocumentFontFamily = "Noto Sans CJK SC";
// Where the glyphs the CJK font lacks (emoji, symbols) come from: Symbola,
// Debian's fonts-symbola, outlines that a PDF embeds like any other font.
inline constexpr const char* kDocumentFallbackFamily = "Symbola";

// What a document with nothing to ship says on its one page.
inline constexpr const char* kNothingToShipText = "没有待发货的交易";

// Gives device the document's paper: A4 for the picking list and for A5
// slips (two on a sheet), 100 × 150 or 76 × 130 mm for label slips.
void SetUpDocumentPages(QPagedPaintDevice& device, ShippingDocument which, SlipPaper paper);

// Paints every page (after SetUpDocumentPages) and returns how many there
// were; 0 when the painter could not begin on the device or could not end
// (the device failed to take the pages). With nothing to ship, one page
// says so ("没有待发货的交易") under the document's title and date. offsetMm moves
// everything right and down, for a printer that prints off its mark.
// betweenPages, when given, runs as each page begins (in the layout pass
// too): a window lets its events through there while thousands of pages
// are painted.
int PaintShippingDocument(QPagedPaintDevice& device, const ShippingDocuments& documents, ShippingDocument which,
    SlipPaper paper, QPointF offsetMm = {}, const std::function<void()>& betweenPages = {});

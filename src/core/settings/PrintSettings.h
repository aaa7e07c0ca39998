#pragma once
// How the shipping documents are printed: the packing slips' paper, and
// per printer how far its output is to be moved, because label printers
// shift what they print. Stored with the other settings.

#include "core/documents/DocumentPrinter.h"

#include <QPointF>
#include <QString>
#include <optional>

// "Slip_Paper": A5 unless the label is stored.
SlipPaper StoredSlipPaper();
[[nodiscard]] bool StoreSlipPaper(SlipPaper paper);

// Millimetres right and down for the printer of this name; none stored: 0, 0.
QPointF StoredPrinterOffset(const QString& printerName);
[[nodiscard]] bool StorePrinterOffset(const QString& printerName, QPointF millimetres);

// The texts --slip-paper takes, "a5" and "100x150"; none for another text.
std::optional<SlipPaper> SlipPaperFromText(const QString& text);

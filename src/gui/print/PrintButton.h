#pragma once
// The "打印" button and its menu: the picking list or the packing slips,
// of every row to ship or of the selected rows only, the slips' paper and
// a printer's offsets.

#include "core/print/DocumentPrinter.h"

#include <QPushButton>
#include <functional>

class Settings;

class PrintButton : public QPushButton {
    Q_OBJECT
public:
    // print is called with the document and whether only the selected
    // rows count. The paper and the offsets are kept in settings, which
    // must outlive the button.
    PrintButton(
        std::function<void(ShippingDocument, bool selectedOnly)> print, Settings& settings, QWidget* parent = nullptr);

private:
    void AddDocument(ShippingDocument which);
    void AskPrinterOffset();

    std::function<void(ShippingDocument, bool)> print_;
    Settings& settings_;
};

#pragma once
// The settings a run works with, read from the store once, when the object
// is made, and asked for by typed keys instead of key texts at every call
// site. A change is stored at once and kept here, so later reads see it.
// The keys and texts are those the store has always held, so a settings
// file of an earlier version reads as it did.

#include "SlipPaper.h"
#include "core/base/Done.h"

#include <QHash>
#include <QPointF>
#include <QString>
#include <optional>

class Settings {
public:
    // Every key below, read from the store now.
    static Settings Read();

    // "DetailDownloads" as stored: empty when nothing is stored.
    QString DetailDownloadsText() const { return Text(kDetailDownloads); }
    // "DetailHistory": true unless it holds 0.
    bool DetailHistory() const;
    // "CHK_<index>": the box value the stored text asks for, none when it
    // asks for none (CheckBoxValueFromText).
    std::optional<int> CheckBox(int index) const;
    // A layout key ("Split_Top_<n>"): its text, or defaultText when none.
    QString LayoutText(const QString& key, const QString& defaultText) const;
    // "Window_Place": the window's last placement; empty when none.
    QString WindowPlacement() const { return Text(kWindowPlacement); }
    // "Export_Dir": the folder of the last export; empty when none.
    QString ExportFolder() const { return Text(kExportFolder); }
    // "Slip_Paper": the packing slips' paper; A5 unless the label is stored.
    SlipPaper PackingSlipPaper() const { return SlipPaperFromText(Text(kSlipPaper)).value_or(SlipPaper::A5); }
    // "Printer_Offsets": how many millimetres right and down the printer
    // of this name is to print, because label printers shift what they
    // print; 0, 0 when none is stored.
    QPointF PrinterOffset(const QString& printerName) const;
    // "Export_Notes" (导出留言和备注): whether the export adds the buyer's
    // message and the seller's memo at the end of the sheet; off unless 1
    // is stored, so the sheet stays as it was.
    bool ExportNotes() const { return Text(kExportNotes).trimmed() == QStringLiteral("1"); }
    // "Sender_Name", "Sender_Phone", "Sender_Address": the sender (寄件人)
    // the courier sheet writes; empty when none is stored.
    QString SenderName() const { return Text(kSenderName); }
    QString SenderPhone() const { return Text(kSenderPhone); }
    QString SenderAddress() const { return Text(kSenderAddress); }
    // "Courier_Template": the courier sheet's template chosen last; empty
    // when none.
    QString CourierTemplateName() const { return Text(kCourierTemplate); }
    // "Slip_Memo" (发货单打印卖家备注): whether the packing slips, which go
    // into the parcel, print the seller's memo too; off unless 1 is stored.
    // The picking list, the packer's, always prints it.
    bool SlipMemo() const { return Text(kSlipMemo).trimmed() == QStringLiteral("1"); }

    // Each stores at once; the reason when the store refused the write.
    Done StoreCheckBox(int index, bool checked);
    Done StoreLayoutText(const QString& key, const QString& text);
    Done StoreWindowPlacement(const QString& text) { return Store(kWindowPlacement, text); }
    Done StoreExportFolder(const QString& folder) { return Store(kExportFolder, folder); }
    Done StorePackingSlipPaper(SlipPaper paper) { return Store(kSlipPaper, SlipPaperText(paper)); }
    Done StorePrinterOffset(const QString& printerName, QPointF millimetres);
    Done StoreExportNotes(bool on)
    {
        return Store(kExportNotes, on ? QStringLiteral("1") : QStringLiteral("0"));
    }
    // All three are stored even when one is refused; the first refusal is told.
    Done StoreSender(const QString& name, const QString& phone, const QString& address)
    {
        const Done storedName = Store(kSenderName, name);
        const Done storedPhone = Store(kSenderPhone, phone);
        const Done storedAddress = Store(kSenderAddress, address);
        return !storedName ? storedName : !storedPhone ? storedPhone : storedAddress;
    }
    Done StoreCourierTemplateName(const QString& name) { return Store(kCourierTemplate, name); }
    Done StoreSlipMemo(bool on)
    {
        return Store(kSlipMemo, on ? QStringLiteral("1") : QStringLiteral("0"));
    }

    static constexpr const char* kDetailDownloads = "DetailDownloads";
    static constexpr const char* kDetailHistory = "DetailHistory";
    static constexpr const char* kWindowPlacement = "Window_Place";
    static constexpr const char* kExportFolder = "Export_Dir";
    static constexpr const char* kSlipPaper = "Slip_Paper";
    // The splitter bars' places: the horizontal bar's (index 0) and the
    // vertical bar's (index 1) fraction of the window.
    static constexpr const char* kSplitHorizontal = "Split_Top_0";
    static constexpr const char* kSplitVertical = "Split_Top_1";
    // "<printer name's UTF-8 in hex>=<right>,<down>" for each printer,
    // joined by ";": printer names hold any character.
    static constexpr const char* kPrinterOffsets = "Printer_Offsets";
    static constexpr const char* kExportNotes = "Export_Notes";
    static constexpr const char* kSenderName = "Sender_Name";
    static constexpr const char* kSenderPhone = "Sender_Phone";
    static constexpr const char* kSenderAddress = "Sender_Address";
    static constexpr const char* kCourierTemplate = "Courier_Template";
    static constexpr const char* kSlipMemo = "Slip_Memo";

private:
    QString Text(const char* key) const { return texts_.value(QString::fromLatin1(key)); }
    Done Store(const QString& key, const QString& text);
    Done Store(const char* key, const QString& text) { return Store(QString::fromLatin1(key), text); }

    QHash<QString, QString> texts_;
};

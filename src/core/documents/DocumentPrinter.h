#pragma once
// Where the shipping documents become pages. Core collects what the
// documents say (ShippingDocuments.h); painting them needs Qt's painting
// and printing modules, which core does not link. The program hands a
// printer to the unattended run; tests of the run may hand a fake.

#include <QString>
#include <optional>

struct ShippingDocuments;

enum class ShippingDocument { PickingList, PackingSlips };

// The paper the packing slips are laid out for.
enum class SlipPaper {
    A5, // two slips on an A4 sheet
    Label100x150, // one slip per 100 × 150 mm label, as thermal printers take
};

struct [[nodiscard]] DocumentWritten {
    bool ok = false;
    QString reason; // why not, for the user; empty when ok
    int pages = 0;
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

// The paper's text as --slip-paper and the settings hold it.
inline QString SlipPaperText(SlipPaper paper)
{
    return paper == SlipPaper::A5 ? QStringLiteral("a5") : QStringLiteral("100x150");
}

// The paper a text names ("a5" or "100x150", any case); none for another text.
inline std::optional<SlipPaper> SlipPaperFromText(const QString& text)
{
    const QString wanted = text.trimmed().toLower();
    for (const SlipPaper paper : { SlipPaper::A5, SlipPaper::Label100x150 })
        if (wanted == SlipPaperText(paper))
            return paper;
    return std::nullopt;
}

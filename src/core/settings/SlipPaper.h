#pragma once
// The paper the packing slips are laid out for, and its text as the
// settings and the --slip-paper option hold it. It is a stored choice, so it
// sits with the settings; the documents lay their pages out for it.

#include <QString>
#include <optional>

// The paper the packing slips are laid out for.
enum class SlipPaper {
    A5, // two slips on an A4 sheet
    Label100x150, // one slip per 100 × 150 mm label, as thermal printers take
    Label76x130, // one slip per 76 × 130 mm label, the one-part waybill's size
};

// The paper's text as --slip-paper and the settings hold it.
inline QString SlipPaperText(SlipPaper paper)
{
    switch (paper) {
    case SlipPaper::A5:
        return QStringLiteral("a5");
    case SlipPaper::Label100x150:
        return QStringLiteral("100x150");
    case SlipPaper::Label76x130:
        return QStringLiteral("76x130");
    }
    return QStringLiteral("a5");
}

// The paper a text names ("a5", "100x150" or "76x130", any case); none for
// another text.
inline std::optional<SlipPaper> SlipPaperFromText(const QString& text)
{
    const QString wanted = text.trimmed().toLower();
    for (const SlipPaper paper : { SlipPaper::A5, SlipPaper::Label100x150, SlipPaper::Label76x130 })
        if (wanted == SlipPaperText(paper))
            return paper;
    return std::nullopt;
}

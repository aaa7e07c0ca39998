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
};

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

#pragma once
// The sold-items list states where the reader is: "第 2 页 / 共 4 页" (page 2
// of 4). Extract-all sizes its progress from it, so a short list does not
// show a count and a remaining time made for 500 pages.

#include <QString>
#include <optional>

struct PagerPosition {
    int page = 0; // the page shown, from 1
    int pageCount = 0; // pages in the list
};

// The first "第 <n> 页 … 共 <m> 页" in the page's HTML (tags, blanks and
// &nbsp; may stand between the pieces; "/" may stand between the two
// halves). Nothing when there is none or the numbers make no sense
// (page 0, or a page past the count).
std::optional<PagerPosition> PagerPositionFromHtml(const QString& html);

// The pages extract-all will read from the shown one to the last, counting
// the shown one; nothing without a pager.
std::optional<int> PagesLeftFromHtml(const QString& html);

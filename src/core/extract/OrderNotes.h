#pragma once
// The buyer's message and the seller's memo of a trade detail page: the
// lines labelled "买家留言：" and "卖家备注：" in its order information.
// Either may be missing or empty. A value runs from its label to the end of
// the element that holds it (the cell, list item, paragraph or definition
// after the label's own), so a message of thousands of characters or of
// several lines (<br>) is read whole; tags inside it are dropped and
// entities ("&lt;", "&#127873;") become the characters they stand for:
// what the buyer typed is text, never markup.

#include "core/grid/NoteRecord.h"

#include <QList>
#include <QString>
#include <optional>

struct OrderNotesReading {
    std::optional<QString> message; // none: the page has no "买家留言：" label
    std::optional<QString> memo; // none: no "卖家备注：" label
};

// Reads both labels from a detail page's markup.
OrderNotesReading ReadOrderNotes(const QString& pageHtml);

// Where in the markup the value after every "买家留言：" and "卖家备注："
// label stands, from after its label to where reading stopped: the
// buyer's and seller's own words, which no other reader of the page
// searches for its marks.
QList<std::pair<qsizetype, qsizetype>> OrderNoteSpans(QStringView pageHtml);

// The reading as the trade's notes: a missing label reads as empty.
TradeNotes NotesOfTrade(const QString& order, const OrderNotesReading& reading);

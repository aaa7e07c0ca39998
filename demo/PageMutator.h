#pragma once
// Variants of the demo marketplace's pages, made by seeded mutations that
// compose. Each mutation either keeps what the page means to a reader
// (blanks between tags, wrappers, quoting, comments, entity forms, scripts
// and styles, empty rows, tag case, punctuation the marketplace mixes,
// header and footer) or changes it (a value moved into an attribute or a
// script, a label renamed, a block removed, buyer text that quotes the
// page's own labels, a login page, rows in a script). The same page, seed
// and step count always give the same variant.

#include <QSet>
#include <QString>
#include <QStringList>

namespace pagemutation {

enum class PageKind { List, Detail };

struct Variant {
    QString html;
    QStringList chain; // the mutations applied, in order
    bool meaningKept = true;
    bool loginPage = false; // the page was replaced by a login page
    bool notesRewritten = false; // detail: the buyer's message was rewritten on purpose
    QSet<QString> rewrittenOrders; // list: trades whose buyer text was rewritten on purpose
};

// steps mutations of the page, each drawn from those that apply to it;
// with keptOnly, only mutations that keep the meaning; without
// mayReplacePage, none that puts another page (the login page) in its place.
Variant Mutate(
    const QString& html, PageKind kind, quint64 seed, int steps, bool keptOnly, bool mayReplacePage = true);

// The names of every mutation, kept-meaning ones first.
QStringList MutationNames(PageKind kind);

} // namespace pagemutation

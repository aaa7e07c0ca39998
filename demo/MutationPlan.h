#pragma once
// Serving pages through the page mutator: every list and detail page gets a
// variant of its own, seeded from the plan's seed and the page, so a page
// asked for twice comes the same both times. The shop itself, and so its
// truth dump, stays as generated.

#include <QByteArray>
#include <QString>

namespace demo {

struct MutationPlan {
    enum class Family {
        Kept, // only mutations that keep what the page means
        Changed, // any mutation but another page in the page's place
        All, // any, the login page in a page's place too
    };
    bool on = false;
    quint64 seed = 0;
    Family family = Family::All;
};

// "SEED" or "SEED:kept", "SEED:changed", "SEED:all"; false with a message
// for the user otherwise.
bool ParseMutationPlan(const QString& text, MutationPlan& plan, QString& message);

struct MutatedPage {
    QByteArray body;
    // One line for the request log:
    // "mutated <list N|detail ORDER> seed S <kept|changed|login> rewritten=O,…: a > b"
    QString note;
};

// The list page (UTF-8) and a trade's detail page (GBK) as the plan serves them.
MutatedPage MutateListPage(const MutationPlan& plan, int page, const QByteArray& utf8);
MutatedPage MutateDetailPage(const MutationPlan& plan, const QString& orderNumber, const QByteArray& gbk);

} // namespace demo

#include "MutationPlan.h"

#include "MarketPages.h"
#include "PageMutator.h"

#include <QStringList>

namespace demo {
namespace {

// The page's own seed: the plan's seed mixed with the page's name (FNV-1a,
// then a SplitMix64 step), the same on every platform and Qt version.
quint64 PageSeed(quint64 seed, const QString& page)
{
    quint64 hash = 14695981039346656037ull;
    for (const QChar c : page) {
        hash ^= c.unicode();
        hash *= 1099511628211ull;
    }
    quint64 z = seed ^ hash;
    z += 0x9e3779b97f4a7c15ull;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

pagemutation::Variant Variant(const MutationPlan& plan, const QString& page, const QString& html,
    pagemutation::PageKind kind, quint64& seed)
{
    seed = PageSeed(plan.seed, page);
    // One to four mutations, as the parsers' own runs draw them.
    return pagemutation::Mutate(html, kind, seed, 1 + int(seed % 4),
        plan.family == MutationPlan::Family::Kept, plan.family == MutationPlan::Family::All);
}

QString Note(const QString& page, quint64 seed, const pagemutation::Variant& v)
{
    QStringList rewritten(v.rewrittenOrders.cbegin(), v.rewrittenOrders.cend());
    rewritten.sort();
    const QString meaning = v.loginPage ? QStringLiteral("login")
        : v.meaningKept                 ? QStringLiteral("kept")
                                        : QStringLiteral("changed");
    return QStringLiteral("mutated %1 seed %2 %3 rewritten=%4: %5")
        .arg(page)
        .arg(seed)
        .arg(meaning, rewritten.join(u','), v.chain.join(QStringLiteral(" > ")));
}

} // namespace

bool ParseMutationPlan(const QString& text, MutationPlan& plan, QString& message)
{
    const QString family = text.section(u':', 1);
    bool ok = false;
    plan.seed = text.section(u':', 0, 0).toULongLong(&ok);
    if (family.isEmpty() || family == u"all")
        plan.family = MutationPlan::Family::All;
    else if (family == u"kept")
        plan.family = MutationPlan::Family::Kept;
    else if (family == u"changed")
        plan.family = MutationPlan::Family::Changed;
    else
        ok = false;
    if (!ok) {
        message = QStringLiteral("--mutate needs SEED or SEED:kept, SEED:changed or SEED:all, not \"%1\"")
                      .arg(text);
        return false;
    }
    plan.on = true;
    return true;
}

MutatedPage MutateListPage(const MutationPlan& plan, int page, const QByteArray& utf8)
{
    const QString name = QStringLiteral("list %1").arg(page);
    quint64 seed = 0;
    const pagemutation::Variant v
        = Variant(plan, name, QString::fromUtf8(utf8), pagemutation::PageKind::List, seed);
    return { v.html.toUtf8(), Note(name, seed, v) };
}

MutatedPage MutateDetailPage(const MutationPlan& plan, const QString& orderNumber, const QByteArray& gbk)
{
    const QString name = QStringLiteral("detail %1").arg(orderNumber);
    quint64 seed = 0;
    const pagemutation::Variant v = Variant(plan, name, FromGbk(gbk), pagemutation::PageKind::Detail, seed);
    return { GbkBytes(v.html), Note(name, seed, v) };
}

} // namespace demo

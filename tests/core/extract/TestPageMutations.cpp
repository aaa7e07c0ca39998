// The parsers on thousands of variants of the demo marketplace's pages.
// A variant that keeps the page's meaning must read exactly as the page
// does: cells, findings, what the page says. One that changes it may only
// leave cells empty with the trade or page named, never write another
// value, never lose a trade unnamed, and a login page must be told as one.
// A failure prints the shop seed, the page, the variant seed and the
// mutation chain, to be replayed as a fixed row.
//
// LUMETRA_MUTATION_SECONDS=N runs seeds for N seconds instead of the fixed
// set (fuzz/page_mutations.sh).

#include "support/DemoListPage.h"
#include "PageMutator.h"

#include "MarketPages.h"
#include "ShopGenerator.h"
#include "core/extract/DetailPage.h"
#include "core/extract/ListPageMarks.h"
#include "core/extract/ListParser.h"
#include "core/extract/OrderNotes.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/network/BodyDecoding.h"
#include "core/network/LoginForm.h"
#include "core/trade/TradeColumns.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace pagemutation;

namespace {

void Cells(const TradeGrid& grid, int row, int first, int last, QStringList& into)
{
    for (int c = first; c <= last; ++c)
        into.append(grid.TextMatrix(row, c));
}

// What the core parsers make of one detail page.
struct DetailReading {
    QStringList cells; // recipient to waybill, then message and memo
    bool block = false;
    DetailFindings findings;
    bool login = false;

    bool Named() const { return !block || !findings.IsClean() || !findings.refusedColumns.isEmpty(); }
    QString Findings() const
    {
        QStringList refused;
        for (const int c : findings.refusedColumns)
            refused.append(QString::number(c));
        return QStringLiteral("block %1 u%2 c%3 w%4 p%5 m%6 refused %7 login %8")
            .arg(block)
            .arg(findings.unreadable)
            .arg(findings.addressToCheck)
            .arg(findings.shippedWithoutWaybill)
            .arg(findings.parcelsUnread)
            .arg(findings.maskedMobile)
            .arg(refused.join(u','))
            .arg(login);
    }
};

DetailReading ReadDetail(const QString& html, const QString& status)
{
    DetailReading reading;
    TradeGrid grid;
    SetUpTradeGrid(grid);
    grid.SetRows(grid.FixedRows() + 1);
    const int row = grid.FixedRows();
    if (const std::optional<RecipientBlock> block = FindRecipientBlock(html)) {
        reading.block = true;
        reading.findings = WriteRecipientColumns(grid, row, *block, status);
    }
    Cells(grid, row, ColRecipient, ColWaybill, reading.cells);
    const OrderNotesReading notes = ReadOrderNotes(html);
    reading.cells << notes.message.value_or(QString()) << notes.memo.value_or(QString());
    reading.login = ShowsLoginForm(html);
    return reading;
}

// What the core parsers make of one list page.
struct ListReading {
    QStringList orders; // the grid's order numbers, in order
    QHash<QString, QStringList> cells; // order number to its columns 2-12
    QSet<QString> named; // trades a finding names
    QStringList findings;
    bool pageNamed = false;
    bool saysEmpty = false;
    QStringList scriptOrders;

    QString Describe() const
    {
        return QStringLiteral("%1 rows, findings [%2], page named %3, says empty %4, script orders %5")
            .arg(orders.size())
            .arg(findings.join(QStringLiteral("; ")))
            .arg(pageNamed)
            .arg(saysEmpty)
            .arg(scriptOrders.size());
    }
};

ListReading ReadList(const QString& html)
{
    ListReading reading;
    const QString body = demolist::SerializedForm(html);
    const qsizetype at = body.indexOf(QStringLiteral("id=\"J_ListTable\""));
    const qsizetype start = body.indexOf(u'>', at) + 1;
    const QString table
        = at < 0 ? QString() : body.mid(start, body.indexOf(QStringLiteral("</TABLE>"), start) - start);
    TradeGrid grid;
    SetUpTradeGrid(grid);
    const ListPageReading read = ParseListTable(grid, table);
    const ListPageMarks marks = CountListPageMarks(body);
    for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
        const QString order = grid.TextMatrix(row, ColOrderNumber);
        reading.orders.append(order);
        Cells(grid, row, ColOrderNumber, ColRating, reading.cells[order]);
    }
    for (const Finding& finding : read.findings) {
        reading.named.insert(finding.orderNumber);
        reading.findings.append(FindingLine(finding));
    }
    // The page is named when its marks list more trades than were read, or
    // when it gives none and does not say the list is empty.
    const int listed = std::max({ read.listed, read.bodiesWithCells, int(marks.scriptOrders.size()) });
    const bool readWhole = read.read > 0 && read.read >= listed;
    const bool empty = read.read == 0 && listed == 0 && read.rowsOfCells == 0 && marks.saysEmpty;
    reading.pageNamed = !readWhole && !empty;
    reading.saysEmpty = marks.saysEmpty;
    reading.scriptOrders = marks.scriptOrders;
    return reading;
}

QString Chain(const Variant& v)
{
    return v.chain.join(QStringLiteral(" > "))
        + (v.meaningKept ? QStringLiteral(" (meaning kept)") : QString());
}

// The first broken promise of a detail variant, or empty.
QString CheckDetail(const DetailReading& base, const DetailReading& got, const Variant& v)
{
    if (v.loginPage)
        return got.login ? QString() : QStringLiteral("login page not told");
    if (got.login)
        return QStringLiteral("a detail page taken for the login page");
    if (v.meaningKept) {
        if (got.cells != base.cells)
            return QStringLiteral("cells %1 instead of %2").arg(got.cells.join(u'|'), base.cells.join(u'|'));
        if (got.Findings() != base.Findings())
            return QStringLiteral("findings %1 instead of %2").arg(got.Findings(), base.Findings());
        return {};
    }
    for (int i = 0; i < got.cells.size(); ++i) {
        const bool note = i >= got.cells.size() - 2;
        if (note && v.notesRewritten)
            continue;
        if (got.cells[i] == base.cells[i])
            continue;
        if (!got.cells[i].isEmpty())
            return QStringLiteral("column %1 reads \"%2\" instead of \"%3\"")
                .arg(i)
                .arg(got.cells[i], base.cells[i]);
        if (!note && !got.Named())
            return QStringLiteral("column %1 left empty (was \"%2\") and the trade not named")
                .arg(i)
                .arg(base.cells[i]);
    }
    return {};
}

QString CheckList(const ListReading& base, const ListReading& got, const Variant& v)
{
    if (v.meaningKept) {
        if (got.orders != base.orders || got.cells != base.cells)
            for (const QString& order : base.orders)
                if (got.cells.value(order) != base.cells.value(order))
                    return QStringLiteral("trade %1 reads %2 instead of %3")
                        .arg(order, got.cells.value(order).join(u'|'), base.cells.value(order).join(u'|'));
        if (got.orders != base.orders)
            return QStringLiteral("trades %1 instead of %2")
                .arg(got.orders.join(u','), base.orders.join(u','));
        if (got.findings != base.findings || got.pageNamed != base.pageNamed
            || got.saysEmpty != base.saysEmpty || got.scriptOrders != base.scriptOrders)
            return QStringLiteral("%1 instead of %2").arg(got.Describe(), base.Describe());
        return {};
    }
    for (const QString& order : got.orders)
        if (!base.cells.contains(order))
            return QStringLiteral("a trade %1 the page does not list").arg(order);
    for (const QString& order : base.orders) {
        // A further item ("…_1") is named with its trade.
        const bool named = got.pageNamed || got.named.contains(order.section(u'_', 0, 0));
        if (!got.cells.contains(order)) {
            if (!named)
                return QStringLiteral("trade %1 missing and not named").arg(order);
            continue;
        }
        const QStringList& was = base.cells.value(order);
        const QStringList& is = got.cells.value(order);
        for (int i = 0; i < was.size(); ++i) {
            // The title, nick and name the mutation rewrote.
            const bool rewritten = v.rewrittenOrders.contains(order) && (i == 2 || i == 6 || i == 7);
            if (rewritten || is[i] == was[i])
                continue;
            if (!is[i].isEmpty())
                return QStringLiteral("trade %1 column %2 reads \"%3\" instead of \"%4\"")
                    .arg(order)
                    .arg(i)
                    .arg(is[i], was[i]);
            if (!named)
                return QStringLiteral("trade %1 column %2 left empty and not named").arg(order).arg(i);
        }
    }
    return {};
}

struct Tally {
    int variants = 0;
    int kept = 0;
    QStringList failures;
};

// Every detail page and list page of one shop, each with its variants.
void RunShop(quint64 shopSeed, int variantsPerPage, Tally& tally)
{
    demo::ShopOptions options;
    options.seed = shopSeed;
    options.pages = 2;
    options.perPage = 12;
    options.misshape = shopSeed % 3 == 1;
    options.addressForms = shopSeed % 3 == 2;
    const demo::Shop shop = demo::GenerateShop(options);
    const auto report = [&](const QString& page, quint64 seed, const Variant& v, const QString& broken) {
        if (tally.failures.size() < 400)
            tally.failures.append(QStringLiteral("shop seed %1, %2, variant seed %3: %4\n    %5")
                                      .arg(shopSeed)
                                      .arg(page)
                                      .arg(seed)
                                      .arg(Chain(v), broken));
    };
    for (const demo::ShopTrade& trade : shop.trades) {
        const QString html = DecodeHttpBody(demo::TradeDetailPage(shop, trade), demo::kGbkHtml);
        const DetailReading base = ReadDetail(html, trade.status);
        for (int i = 0; i < variantsPerPage; ++i) {
            const quint64 seed
                = shopSeed * 1000003u + trade.orderNumber.right(6).toULongLong() * 131u + quint64(i);
            const Variant v = Mutate(html, PageKind::Detail, seed, 1 + int(seed % 4), i % 2 == 0);
            ++tally.variants;
            tally.kept += v.meaningKept;
            if (const QString broken = CheckDetail(base, ReadDetail(v.html, trade.status), v);
                !broken.isEmpty())
                report(QStringLiteral("detail page of %1").arg(trade.orderNumber), seed, v, broken);
        }
    }
    for (int page = 1; page <= shop.PageCount(); ++page) {
        const QString html = QString::fromUtf8(demo::SoldItemsPage(shop, page));
        const ListReading base = ReadList(html);
        for (int i = 0; i < variantsPerPage * 2; ++i) {
            const quint64 seed = shopSeed * 7919u + quint64(page) * 104729u + quint64(i);
            const Variant v = Mutate(html, PageKind::List, seed, 1 + int(seed % 4), i % 2 == 0);
            ++tally.variants;
            tally.kept += v.meaningKept;
            if (const QString broken = CheckList(base, ReadList(v.html), v); !broken.isEmpty())
                report(QStringLiteral("list page %1").arg(page), seed, v, broken);
        }
    }
}

} // namespace

class TestPageMutations : public QObject {
    Q_OBJECT
private slots:
    // Every refused row is logged; thousands of them would drown the report.
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("lumetra.*.warning=false")); }

    // The unmutated pages read as the shop holds them, so the oracle's
    // reference is a sound one.
    void unmutatedPagesReadWhole()
    {
        const demo::Shop shop = demo::GenerateShop({ .seed = 11, .pages = 2, .perPage = 12 });
        for (const demo::ShopTrade& trade : shop.trades) {
            const DetailReading read = ReadDetail(
                DecodeHttpBody(demo::TradeDetailPage(shop, trade), demo::kGbkHtml), trade.status);
            QVERIFY2(read.block == trade.HasShippingData(), qPrintable(trade.orderNumber));
            if (trade.HasShippingData())
                QCOMPARE(read.cells.at(0), trade.recipient.trimmed());
            QVERIFY(!read.login);
        }
        const ListReading list = ReadList(QString::fromUtf8(demo::SoldItemsPage(shop, 1)));
        QCOMPARE(list.orders.filter(QRegularExpression(QStringLiteral("^\\d+$"))).size(), 12);
        QVERIFY(!list.pageNamed);
    }

    // LUMETRA_MUTATION_REPLAY="<shop seed> <order number or list page> <variant seed> <steps> <kept only>"
    // writes that variant to page-variant.html, to turn a failure into a row.
    void replayOneVariant()
    {
        const QStringList args
            = qEnvironmentVariable("LUMETRA_MUTATION_REPLAY").split(u' ', Qt::SkipEmptyParts);
        if (args.size() < 5)
            QSKIP("LUMETRA_MUTATION_REPLAY not set");
        demo::ShopOptions options;
        options.seed = args[0].toULongLong();
        options.pages = 2;
        options.perPage = 12;
        options.misshape = options.seed % 3 == 1;
        options.addressForms = options.seed % 3 == 2;
        const demo::Shop shop = demo::GenerateShop(options);
        const demo::ShopTrade* trade = shop.FindTrade(args[1]);
        const QString html = trade ? DecodeHttpBody(demo::TradeDetailPage(shop, *trade), demo::kGbkHtml)
                                   : QString::fromUtf8(demo::SoldItemsPage(shop, args[1].toInt()));
        const Variant v = Mutate(html, trade ? PageKind::Detail : PageKind::List, args[2].toULongLong(),
            args[3].toInt(), args[4] == u"1");
        QFile out(QStringLiteral("page-variant.html"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(v.html.toUtf8());
        qInfo("%s", qPrintable(Chain(v)));
    }

    void variantsKeepThePromise()
    {
        bool ok = false;
        const int seconds = qEnvironmentVariableIntValue("LUMETRA_MUTATION_SECONDS", &ok);
        QElapsedTimer clock;
        clock.start();
        Tally tally;
        quint64 shopSeed = 1;
        // The fixed set: up to 64 shops of 24 detail pages and 2 list pages,
        // 10 variants of each detail page and 20 of each list page, as many
        // shops as a minute allows on a slow (sanitizer) build.
        for (; ok ? clock.elapsed() < qint64(seconds) * 1000 : shopSeed <= 64 && clock.elapsed() < 60000;
             ++shopSeed)
            RunShop(ok ? quint64(QRandomGenerator::global()->generate()) : shopSeed, 10, tally);
        qInfo("%d variants of %llu shops (%d keeping the meaning), %lld failures in %lld ms", tally.variants,
            shopSeed - 1, tally.kept, qlonglong(tally.failures.size()), clock.elapsed());
        for (const QString& failure : tally.failures)
            qInfo("%s", qPrintable(failure));
        QVERIFY2(tally.failures.isEmpty(), qPrintable(tally.failures.value(0)));
    }
};

QTEST_GUILESS_MAIN(TestPageMutations)
#include "TestPageMutations.moc"

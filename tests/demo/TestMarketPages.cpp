// The demo pages must give the tool's marker-based parsers exactly the
// values of the generated shop. These tests take a page the way the tool
// sees it (tag names upper case, CR LF) and apply the same cuts the tool
// applies, then compare with the shop.

#include "MarketPages.h"
#include "ShopGenerator.h"
#include "ShopNotes.h"
#include "core/text/AnsiCodec.h"
#include "core/text/TextHelpers.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QRegularExpression>

using namespace demo;

namespace {

Shop Make(quint64 seed, int pages, int perPage)
{
    ShopOptions options;
    options.seed = seed;
    options.pages = pages;
    options.perPage = perPage;
    return GenerateShop(options);
}

// Upper-case tag names, as the tool's document serializer gives them.
QString AsBrowserShowsIt(const QByteArray& utf8)
{
    static const QRegularExpression tag(QStringLiteral("<(/?)([A-Za-z][A-Za-z0-9]*)"));
    QString html = QString::fromUtf8(utf8);
    QString out;
    qsizetype last = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        out += html.mid(last, m.capturedStart() - last) + QLatin1Char('<') + m.captured(1)
            + m.captured(2).toUpper();
        last = m.capturedEnd();
    }
    return out + html.mid(last);
}

QString ListTableInnerHtml(const QString& page)
{
    QString text = page;
    CutAtMarker(text, QStringLiteral("id=\"J_ListTable\""), true);
    CutAtMarker(text, QStringLiteral(">"), true);
    return CutAtMarker(text, QStringLiteral("</TABLE>"), true);
}

QString Clean(QString piece)
{
    StripBetween(piece, QStringLiteral("<"), QStringLiteral(">"), QString());
    piece.remove(QStringLiteral("\r\n"));
    return piece.trimmed();
}

QString FirstWord(QString text) // text before the first blank, "" without one
{
    return CutAtMarker(text, QStringLiteral(" "), true);
}

QString Number(const QString& text)
{
    return NumberText(LeadingNumber(text.trimmed()));
}

// One line per trade row the list yields: the values the list parser
// writes into its columns, joined by "|".
QStringList RowsFromList(const QString& tableHtml)
{
    QString text = tableHtml;
    CutAtMarker(text, QStringLiteral("</TR>"), false);
    CutAtMarker(text, QStringLiteral("<TBODY"), true);
    CutAtMarker(text, QStringLiteral(">"), true);
    QStringList rows;
    QString header;
    for (const QString& row : text.split(QStringLiteral("</TR>"))) {
        QStringList cells = row.split(QStringLiteral("</TD>"));
        for (QString& cell : cells)
            cell = Clean(cell);
        if (cells.size() == 2) {
            QString c = cells[0];
            if (!c.contains(QStringLiteral("订单编号")))
                continue;
            CutAtMarker(c, QStringLiteral("订单编号："), true);
            const QString number = CutAtMarker(c, QStringLiteral(" "), true);
            CutAtMarker(c, QStringLiteral("成交时间："), true);
            header = number + QLatin1Char('|') + c.trimmed();
        } else if (cells.size() == 9 || cells.size() == 5) {
            QString after = cells[3];
            after.remove(QStringLiteral("投诉维权"));
            QString line = header + QLatin1Char('|') + FirstWord(cells[0].trimmed() + QLatin1Char(' '))
                + QLatin1Char('|') + Number(cells[1]) + QLatin1Char('|') + Number(cells[2]) + QLatin1Char('|')
                + after.trimmed();
            if (cells.size() == 9) {
                QString buyer = cells[4];
                const QString nick = CutAtMarker(buyer, QStringLiteral(" "), true);
                buyer = buyer.trimmed();
                const QString name = CutAtMarker(buyer, QStringLiteral("旺旺"), true).trimmed();
                line += QLatin1Char('|') + nick + QLatin1Char('|') + name + QLatin1Char('|')
                    + FirstWord(cells[5]) + QLatin1Char('|') + Number(cells[6]) + QLatin1Char('|') + cells[7];
            } else {
                line += QStringLiteral("|+");
            }
            rows << line;
        }
    }
    return rows;
}

QStringList RowsFromShop(const Shop& shop, int page)
{
    QStringList rows;
    for (qsizetype i = qsizetype(page - 1) * shop.perPage;
         i < qMin(qsizetype(page) * shop.perPage, shop.trades.size()); ++i) {
        const ShopTrade& t = shop.trades[i];
        for (qsizetype n = 0; n < t.items.size(); ++n) {
            const ShopItem& item = t.items[n];
            QString line = t.orderNumber + QLatin1Char('|') + t.time + QLatin1Char('|')
                + item.title.section(QLatin1Char(' '), 0, 0) + QLatin1Char('|') + Number(item.price)
                + QLatin1Char('|') + QString::number(item.quantity) + QLatin1Char('|') + item.afterSales;
            if (n == 0)
                line += QLatin1Char('|') + t.buyer + QLatin1Char('|') + t.name + QLatin1Char('|') + t.status
                    + QLatin1Char('|') + Number(t.amount) + QLatin1Char('|') + t.rating;
            else
                line += QStringLiteral("|+");
            rows << line;
        }
    }
    return rows;
}

// The recipient block the detail download cuts out of a page.
QString RecipientBlock(QString text)
{
    StripBetween(text, QStringLiteral("<"), QStringLiteral(">"), QString());
    CutAtMarker(text, QStringLiteral("收货和物流信息"), true);
    CutAtMarker(text, QStringLiteral("收货地址："), true);
    text = CutAtMarker(text, QStringLiteral("我对购买流程有意见或建议"), true);
    text.remove(QStringLiteral("\r\n"));
    text.remove(QLatin1Char('\t'));
    for (const char16_t* label : { u"运送方式：", u"物流公司名称：", u"运单号：" })
        text.replace(QString::fromUtf16(label), QStringLiteral("§§"));
    CutAtMarker(text, QStringLiteral("查看物流信息"), false);
    for (int i = 0; i < 21 && text.contains(QStringLiteral("  ")); ++i)
        text.replace(QStringLiteral("  "), QStringLiteral(" "));
    return text;
}

bool OnlyCrLf(const QByteArray& bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return false;
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
            return false;
    }
    return true;
}

// The seller's nick as the tool reads it from a page body.
QString NickFrom(const QString& page)
{
    QString html = page;
    html = CutAtMarker(html, QStringLiteral("user-nick"), false);
    CutAtMarker(html, QStringLiteral(">"), true);
    return CutAtMarker(html, QStringLiteral("<"), true).trimmed();
}

// The first A element whose inner HTML is exactly linkText: its outer HTML.
QString LinkOuterHtml(const QString& page, const QString& linkText)
{
    static const QRegularExpression link(QStringLiteral("<A\\b[^>]*>([^<]*)</A>"));
    for (auto it = link.globalMatch(page); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(1) == linkText)
            return m.captured(0);
    }
    return {};
}

} // namespace

class TestMarketPages : public QObject {
    Q_OBJECT
private slots:
    void listYieldsTheShopsRows_data();
    void listYieldsTheShopsRows();
    void pagerLinks_data();
    void pagerLinks();
    void driftListHeaders();
    void emptyShopListYieldsNothing();
    void nickOnEveryBackOfficePage();
    void detailBlockYieldsTheAddressLine_data();
    void detailBlockYieldsTheAddressLine();
    void detailPagesAreGbkWithMarker();
    void pagesWithoutCompletionMarker();
    void everyPageHasCrLfLineBreaks();
    void downloadPageTitle_data();
    void downloadPageTitle();
};

void TestMarketPages::listYieldsTheShopsRows_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("perPage");
    QTest::newRow("default shop") << quint64(1) << 3 << 20;
    QTest::newRow("small pages") << quint64(7) << 4 << 5;
    QTest::newRow("one trade per page") << quint64(3) << 3 << 1;
    QTest::newRow("long page") << quint64(12) << 1 << 120;
}

void TestMarketPages::listYieldsTheShopsRows()
{
    QFETCH(quint64, seed);
    QFETCH(int, pages);
    QFETCH(int, perPage);
    const Shop shop = Make(seed, pages, perPage);
    for (int page = 1; page <= pages; ++page) {
        const QString html = AsBrowserShowsIt(SoldItemsPage(shop, page));
        const QStringList got = RowsFromList(ListTableInnerHtml(html));
        const QStringList want = RowsFromShop(shop, page);
        QCOMPARE(got.size(), want.size());
        for (qsizetype i = 0; i < want.size(); ++i)
            QCOMPARE(got[i], want[i]);
    }
}

void TestMarketPages::pagerLinks_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("pageCount");
    QTest::newRow("first") << 1 << 3;
    QTest::newRow("middle") << 2 << 3;
    QTest::newRow("last") << 3 << 3;
    QTest::newRow("only") << 1 << 1;
}

void TestMarketPages::pagerLinks()
{
    QFETCH(int, page);
    QFETCH(int, pageCount);
    const Shop shop = Make(1, pageCount, 4);
    const QString html = AsBrowserShowsIt(SoldItemsPage(shop, page));
    const QString next = LinkOuterHtml(html, QStringLiteral("下一页"));
    QVERIFY(!next.isEmpty());
    QCOMPARE(html.count(QStringLiteral(">下一页<")), 1);
    if (page < pageCount) {
        QVERIFY(!next.contains(QStringLiteral("disabled")));
        QVERIFY2(
            next.contains(QStringLiteral("href=\"%1\"").arg(SoldItemsAddress(page + 1))), qPrintable(next));
    } else {
        QVERIFY(next.contains(QStringLiteral("disabled")));
        QVERIFY(!next.contains(QStringLiteral("href")));
    }
}

void TestMarketPages::driftListHeaders()
{
    const Shop shop = GenerateShop({ .seed = 4, .drift = true });
    for (int page = 1; page <= 3; ++page) {
        const QByteArray html = SoldItemsPage(shop, page);
        QVERIFY(html.count("</span></label>&nbsp;<span class=\"deal-time\">成交时间：") >= 2);
        QCOMPARE(html.count("</span></label><span class=\"deal-time\">成交时间："), page == 1 ? 1 : 0);
    }
}

void TestMarketPages::emptyShopListYieldsNothing()
{
    const Shop shop = Make(1, 0, 20);
    const QString html = AsBrowserShowsIt(SoldItemsPage(shop, 1));
    QVERIFY(html.contains(QStringLiteral("J_ListTable")));
    QVERIFY(RowsFromList(ListTableInnerHtml(html)).isEmpty());
    QVERIFY(LinkOuterHtml(html, QStringLiteral("下一页")).contains(QStringLiteral("disabled")));
}

void TestMarketPages::nickOnEveryBackOfficePage()
{
    ShopOptions options;
    options.nick = QStringLiteral("茶香小铺_2024");
    const Shop shop = GenerateShop(options);
    QCOMPARE(NickFrom(AsBrowserShowsIt(BackOfficePage(shop))), options.nick);
    QCOMPARE(NickFrom(AsBrowserShowsIt(SoldItemsPage(shop, 2))), options.nick);
    QCOMPARE(NickFrom(DecodeAnsi(TradeDetailPage(shop, shop.trades.first()))), options.nick);
    const QString backOffice = QString::fromUtf8(BackOfficePage(shop));
    QVERIFY(backOffice.contains(QStringLiteral(">已卖出的宝贝</a>")));
    QVERIFY(backOffice.contains(QStringLiteral("href=\"%1\"").arg(SoldItemsAddress(1))));
}

void TestMarketPages::detailBlockYieldsTheAddressLine_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("virtualEvery");
    for (quint64 seed : { 1ULL, 8ULL, 77ULL })
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed << 0;
    QTest::newRow("virtual every 3, drift") << quint64(5) << 3;
}

// A virtual trade's page is whole but has no shipping block; a renamed
// label leaves no "收货地址：" to cut at.
void TestMarketPages::detailBlockYieldsTheAddressLine()
{
    QFETCH(quint64, seed);
    QFETCH(int, virtualEvery);
    const Shop shop = GenerateShop({ .seed = seed, .virtualEvery = virtualEvery, .drift = virtualEvery > 0 });
    for (const ShopTrade& t : shop.trades) {
        const QString page = DecodeAnsi(TradeDetailPage(shop, t));
        QVERIFY(page.contains(kDetailCompleteMarker)
            && page.contains(QStringLiteral("我对购买流程有意见或建议")));
        QCOMPARE(page.contains(QStringLiteral("收货和物流信息")), !t.virtualGoods);
        QCOMPARE(page.contains(QStringLiteral("收货地址：")), t.HasShippingData());
        QCOMPARE(page.contains(QStringLiteral("收货人信息：")), t.renamedAddressLabel);
        if (!t.HasShippingData())
            continue;
        const QString block = RecipientBlock(page);
        const QStringList parts = block.split(QStringLiteral("§§"));
        QCOMPARE(parts.size(), 4);
        QCOMPARE(parts[0].trimmed(), t.AddressLine());
        QCOMPARE(parts[1].trimmed(), t.shippingMethod);
        QCOMPARE(parts[2].trimmed(), t.company);
        QCOMPARE(parts[3].trimmed(), t.waybill);
    }
}

void TestMarketPages::detailPagesAreGbkWithMarker()
{
    const Shop shop = Make(1, 3, 20);
    // Scripts and expected sheets rely on the default shop's pages, byte for
    // byte; the order-information sections of the trades with notes are
    // all that was added to them.
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int page = 1; page <= 3; ++page)
        hash.addData(SoldItemsPage(shop, page));
    int withNotes = 0;
    for (const ShopTrade& t : shop.trades) {
        const QByteArray bytes = TradeDetailPage(shop, t);
        const QString notes = QString(OrderInfoSection(t)).replace(u'\n', QStringLiteral("\r\n"));
        withNotes += !notes.isEmpty();
        hash.addData(notes.isEmpty() ? bytes : EncodeAnsi(DecodeAnsi(bytes).remove(notes)));
        QVERIFY(bytes.contains("charset=gbk"));
        // GBK bytes of "收货和物流信息" and of the completion marker.
        QVERIFY(bytes.contains(QByteArray::fromHex("cad5bbf5bacdceefc1f7d0c5cfa2")));
        QVERIFY(bytes.contains(">" + QByteArray::fromHex("b9d8d3daccd4b1a6") + "</"));
        if (t.waybill == QStringLiteral("—"))
            QVERIFY(bytes.contains(QByteArray::fromHex("a1aa") + "</dd>"));
        QVERIFY(DecodeAnsi(bytes).contains(kDetailCompleteMarker));
        QVERIFY(!QString::fromUtf8(bytes).contains(QStringLiteral("收货和物流信息")));
    }
    QCOMPARE(hash.result().toHex(), QByteArray("af783e569addf16a2fac3bf8f8a66f9fbb2f0e97"));
    QCOMPARE(withNotes, 8);
    const QByteArray missing = TradeMissingPage(shop, QStringLiteral("123"));
    QVERIFY(DecodeAnsi(missing).contains(kDetailCompleteMarker));
    QVERIFY(!DecodeAnsi(missing).contains(QStringLiteral("收货和物流信息")));
}

void TestMarketPages::pagesWithoutCompletionMarker()
{
    QVERIFY(!DecodeAnsi(BusyPage()).contains(kDetailCompleteMarker));
    QVERIFY(!QString::fromUtf8(LoginPage(QStringLiteral("/x"), QStringLiteral("请输入账户名。")))
                 .contains(kDetailCompleteMarker));
}

void TestMarketPages::everyPageHasCrLfLineBreaks()
{
    const Shop shop = Make(2, 2, 10);
    const QList<QByteArray> pages { LoginPage(QStringLiteral("/seller_admin.htm"), QString()),
        BackOfficePage(shop), SoldItemsPage(shop, 1), SoldItemsPage(shop, 2),
        TradeDetailPage(shop, shop.trades[3]), TradeMissingPage(shop, QStringLiteral("1")), BusyPage(),
        DownloadPage(QStringLiteral("2.00")), NotFoundPage() };
    for (qsizetype i = 0; i < pages.size(); ++i) {
        QVERIFY2(pages[i].contains("\r\n"), qPrintable(QString::number(i)));
        QVERIFY2(OnlyCrLf(pages[i]), qPrintable(QString::number(i)));
    }
}

void TestMarketPages::downloadPageTitle_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("read");
    QTest::newRow("default") << QStringLiteral("2.00") << QStringLiteral("2");
    QTest::newRow("newer") << QStringLiteral("2.10") << QStringLiteral("2.1");
    QTest::newRow("markup in version") << QStringLiteral("<b>3") << QStringLiteral("0");
}

void TestMarketPages::downloadPageTitle()
{
    QFETCH(QString, version);
    QFETCH(QString, read);
    QString page = QString::fromUtf8(DownloadPage(version));
    QVERIFY(page.contains(QStringLiteral("<title>Lumetra交易数据提取软件(") + version.toHtmlEscaped()
        + QStringLiteral(")</title>")));
    CutAtMarker(page, QStringLiteral("<title>"), true);
    CutAtMarker(page, QStringLiteral("("), true);
    QCOMPARE(NumberText(LeadingNumber(page)), read);
}

LUMETRA_TEST_GUILESS_MAIN(TestMarketPages)
#include "TestMarketPages.moc"

#include "ShopGenerator.h"
#include "ShopTruth.h"
#include "support/TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

using namespace demo;

namespace {

Shop Make(quint64 seed, int pages = 3, int perPage = 20)
{
    ShopOptions options;
    options.seed = seed;
    options.pages = pages;
    options.perPage = perPage;
    return GenerateShop(options);
}

QString Street(const ShopTrade& t)
{
    // Everything between the telephone and the postcode (a five- or
    // six-piece line) or after the telephone (a four-piece line).
    const qsizetype end = t.addressPieces.size() == 4 ? 4 : t.addressPieces.size() - 1;
    return t.addressPieces.mid(3, end - 3).join(QStringLiteral("，"));
}

QString Destination(const ShopTrade& t)
{
    return t.AddressLine() + QLatin1Char('|') + t.company + QLatin1Char('|') + t.waybill;
}

} // namespace

class TestShopGenerator : public QObject {
    Q_OBJECT
private slots:
    void sameSeedSameShop_data();
    void sameSeedSameShop();
    void differentSeedDifferentShop();
    void orderNumbersAreUniqueDigitStrings_data();
    void orderNumbersAreUniqueDigitStrings();
    void coversWhatTheToolMustHandle_data();
    void coversWhatTheToolMustHandle();
    void virtualGoodsAndDrift();
    void amountsAddUp();
    void shownTextsCannotBreakTheMarkup();
    void truthJsonHoldsEveryTrade();
    void emptyShop();
};

void TestShopGenerator::sameSeedSameShop_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("perPage");
    QTest::newRow("default") << quint64(1) << 3 << 20;
    QTest::newRow("large seed") << quint64(18446744073709551615ULL) << 2 << 7;
    QTest::newRow("one trade") << quint64(42) << 1 << 1;
}

void TestShopGenerator::sameSeedSameShop()
{
    QFETCH(quint64, seed);
    QFETCH(int, pages);
    QFETCH(int, perPage);
    const QByteArray first = ShopTruthJson(Make(seed, pages, perPage));
    const QByteArray second = ShopTruthJson(Make(seed, pages, perPage));
    QCOMPARE(second, first);
    QCOMPARE(Make(seed, pages, perPage).trades.size(), qsizetype(pages) * perPage);
}

void TestShopGenerator::differentSeedDifferentShop()
{
    const Shop a = Make(1);
    const Shop b = Make(2);
    int sameNumbers = 0;
    for (int i = 0; i < a.trades.size(); ++i)
        sameNumbers += a.trades[i].orderNumber == b.trades[i].orderNumber;
    QCOMPARE(sameNumbers, 0);
}

void TestShopGenerator::orderNumbersAreUniqueDigitStrings_data()
{
    QTest::addColumn<quint64>("seed");
    for (quint64 seed : { 1ULL, 7ULL, 123456789ULL })
        QTest::newRow(qPrintable(QString::number(seed))) << seed;
}

void TestShopGenerator::orderNumbersAreUniqueDigitStrings()
{
    QFETCH(quint64, seed);
    const Shop shop = Make(seed, 50, 40);
    static const QRegularExpression digits(QStringLiteral("^[1-9][0-9]{15,18}$"));
    QSet<QString> seen;
    for (const ShopTrade& t : shop.trades) {
        QVERIFY2(digits.match(t.orderNumber).hasMatch(), qPrintable(t.orderNumber));
        QVERIFY2(!seen.contains(t.orderNumber), qPrintable(t.orderNumber));
        seen.insert(t.orderNumber);
    }
}

void TestShopGenerator::coversWhatTheToolMustHandle_data()
{
    QTest::addColumn<quint64>("seed");
    for (quint64 seed : { 1ULL, 2ULL, 99ULL, 2024ULL })
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

// The default shop of any seed shows every case the extraction and the
// merge must get right.
void TestShopGenerator::coversWhatTheToolMustHandle()
{
    QFETCH(quint64, seed);
    const Shop shop = Make(seed);
    QSet<qsizetype> itemCounts, pieceCounts, streetWords;
    QSet<QString> statuses;
    bool titleWithBlank = false, titleWithoutBlank = false, buyerNamed = false, buyerUnnamed = false;
    bool province = false, municipality = false, unshipped = false, wholeAmount = false, centAmount = false;
    bool complaint = false, afterSales = false;
    QHash<QString, int> parcels; // destination and waybill -> trades
    QHash<QString, QSet<QString>> waybillsPerAddress;
    for (const ShopTrade& t : shop.trades) {
        itemCounts.insert(t.items.size());
        statuses.insert(t.status);
        for (const ShopItem& item : t.items) {
            (item.title.contains(QLatin1Char(' ')) ? titleWithBlank : titleWithoutBlank) = true;
            complaint |= item.complaintLink;
            afterSales |= !item.afterSales.isEmpty();
        }
        (t.name.isEmpty() ? buyerUnnamed : buyerNamed) = true;
        QVERIFY(!t.buyer.contains(QLatin1Char(' ')));
        pieceCounts.insert(t.addressPieces.size());
        const QString street = Street(t);
        streetWords.insert(street.split(QLatin1Char(' ')).size());
        (street.section(QLatin1Char(' '), 0, 0).endsWith(QStringLiteral("省")) ? province : municipality)
            = true;
        if (t.waybill == QStringLiteral("—")) {
            unshipped = true;
            QCOMPARE(t.company, QStringLiteral("—"));
        } else {
            ++parcels[Destination(t)];
            waybillsPerAddress[t.AddressLine()].insert(t.waybill);
        }
        (t.amount.endsWith(QStringLiteral(".00")) ? wholeAmount : centAmount) = true;
    }
    QCOMPARE(itemCounts, (QSet<qsizetype> { 1, 2, 3 }));
    QVERIFY(statuses.contains(QStringLiteral("交易关闭")));
    QVERIFY(statuses.size() >= 3);
    QVERIFY(titleWithBlank && titleWithoutBlank);
    QVERIFY(buyerNamed && buyerUnnamed);
    QCOMPARE(pieceCounts, (QSet<qsizetype> { 4, 5, 6 }));
    QCOMPARE(streetWords, (QSet<qsizetype> { 1, 2, 3, 4, 5 }));
    QVERIFY(province && municipality);
    QVERIFY(unshipped);
    QVERIFY(wholeAmount && centAmount);
    QVERIFY(complaint && afterSales);
    int sharedParcels = 0, threeInOneParcel = 0;
    for (int count : parcels) {
        sharedParcels += count >= 2;
        threeInOneParcel += count >= 3;
    }
    QVERIFY(sharedParcels >= 2);
    QVERIFY(threeInOneParcel >= 1);
    int addressesWithTwoWaybills = 0;
    for (const QSet<QString>& waybills : waybillsPerAddress)
        addressesWithTwoWaybills += waybills.size() >= 2;
    QVERIFY(addressesWithTwoWaybills >= 1);
}

// In a shop of 3 x 8 trades with every ninth one virtual and the drift, the
// truth names the trades without shipping data and blanks their texts, and
// the live and closed twins (6, 7) are there. The end-to-end drift run
// holds the 19.9 / 9.9 parcel.
void TestShopGenerator::virtualGoodsAndDrift()
{
    const Shop shop = GenerateShop({ .seed = 2, .perPage = 8, .virtualEvery = 9, .drift = true });
    const QJsonArray trades = QJsonDocument::fromJson(ShopTruthJson(shop))[u"trades"].toArray();
    QList<int> without;
    for (int i = 0; i < trades.size(); ++i) {
        const QJsonObject t = trades[i].toObject();
        if (!t[u"shippingData"].toBool()) {
            without << i;
            QCOMPARE(t[u"addressLine"].toString() + t[u"company"].toString() + t[u"waybill"].toString(),
                QString());
        }
        if (shop.trades[i].virtualGoods)
            QVERIFY(!QStringList({ "交易关闭", "卖家已发货" }).contains(t[u"status"].toString()));
    }
    QCOMPARE(without, (QList<int> { 3, 8, 17 }));
    const QList<ShopTrade>& t = shop.trades;
    QCOMPARE(Destination(t[7]), Destination(t[6]));
    QCOMPARE(t[6].status + t[7].status + t[7].waybill, QStringLiteral("买家已付款交易关闭—"));
}

void TestShopGenerator::amountsAddUp()
{
    const Shop shop = GenerateShop({ .seed = 5, .virtualEvery = 3, .drift = true });
    for (const ShopTrade& t : shop.trades) {
        qint64 cents = qRound64(t.shipping.toDouble() * 100);
        for (const ShopItem& item : t.items)
            cents += qRound64(item.price.toDouble() * 100) * item.quantity;
        QCOMPARE(
            t.amount, QStringLiteral("%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0')));
    }
}

void TestShopGenerator::shownTextsCannotBreakTheMarkup()
{
    // The list and detail parsers cut at markers and tags; no generated
    // text may contain one, nor a "，" outside the address line.
    const Shop shop = Make(3, 10, 50);
    static const QRegularExpression forbidden(QStringLiteral("[<>&\"§\\t\\r\\n]|旺旺|投诉维权"));
    for (const ShopTrade& t : shop.trades) {
        QStringList texts { t.buyer, t.name, t.status, t.rating, t.recipient, t.mobile, t.telephone,
            t.company, t.waybill, t.shippingMethod };
        texts += t.addressPieces;
        for (const ShopItem& item : t.items)
            texts << item.title << item.afterSales;
        for (const QString& text : texts) {
            QVERIFY2(!forbidden.match(text).hasMatch(), qPrintable(text));
            QVERIFY2(!text.contains(QStringLiteral("，")), qPrintable(text));
        }
        QVERIFY(!t.status.contains(QLatin1Char(' ')));
    }
}

void TestShopGenerator::truthJsonHoldsEveryTrade()
{
    const Shop shop = Make(11, 2, 5);
    const QJsonObject root = QJsonDocument::fromJson(ShopTruthJson(shop)).object();
    QCOMPARE(root.value(QStringLiteral("pages")).toInt(), 2);
    const QJsonArray trades = root.value(QStringLiteral("trades")).toArray();
    QCOMPARE(trades.size(), 10);
    for (int i = 0; i < trades.size(); ++i) {
        const QJsonObject t = trades[i].toObject();
        const ShopTrade& expected = shop.trades[i];
        QCOMPARE(t.value(QStringLiteral("orderNumber")).toString(), expected.orderNumber);
        QCOMPARE(t.value(QStringLiteral("page")).toInt(), i / 5 + 1);
        QCOMPARE(t.value(QStringLiteral("items")).toArray().size(), expected.items.size());
        QCOMPARE(t.value(QStringLiteral("addressLine")).toString(), expected.AddressLine());
        QCOMPARE(t.value(QStringLiteral("waybill")).toString(), expected.waybill);
        QCOMPARE(t.value(QStringLiteral("name")).toString(), expected.name);
    }
}

void TestShopGenerator::emptyShop()
{
    const Shop shop = Make(1, 0, 20);
    QVERIFY(shop.trades.isEmpty());
    QCOMPARE(shop.PageCount(), 1);
}

LUMETRA_TEST_GUILESS_MAIN(TestShopGenerator)
#include "TestShopGenerator.moc"

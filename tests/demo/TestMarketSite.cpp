#include "MarketPages.h"
#include "MarketSite.h"
#include "ShopGenerator.h"
#include "core/text/AnsiCodec.h"
#include "support/TestSupport.h"

using namespace demo;

namespace {

HttpRequest Request(const QByteArray& method, const QByteArray& target, const QByteArray& cookie = {},
    const QByteArray& body = {})
{
    QByteArray raw = method + ' ' + target + " HTTP/1.1\r\nHost: 127.0.0.1:8080\r\n";
    if (!cookie.isEmpty())
        raw += "Cookie: " + cookie + "\r\n";
    if (!body.isEmpty())
        raw += "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\n";
    raw += "\r\n" + body;
    HttpRequestReader reader;
    if (reader.Feed(raw) != HttpRequestReader::State::Complete)
        qFatal("test request does not parse: %s", raw.constData());
    return reader.Request();
}

QByteArray Header(const HttpReply& reply, const QByteArray& name)
{
    for (const auto& [key, value] : reply.response.headers) {
        if (key == name)
            return value;
    }
    return {};
}

MarketSite MakeSite(const SiteOptions& site = {}, quint64 seed = 1)
{
    ShopOptions shop;
    shop.seed = seed;
    return MarketSite(GenerateShop(shop), site);
}

// Logs in and returns the Cookie header value for later requests.
QByteArray LogIn(MarketSite& site)
{
    const HttpReply reply
        = site.Handle(Request("POST", "/member/login.jhtml", {}, "TPL_username=seller&TPL_password=x"));
    const QByteArray cookie = Header(reply, "Set-Cookie");
    return cookie.left(cookie.indexOf(';'));
}

} // namespace

class TestMarketSite : public QObject {
    Q_OBJECT
private slots:
    void loginSetsCookieAndRedirects_data();
    void loginSetsCookieAndRedirects();
    void loginNeedsAName();
    void redirectTargets_data();
    void redirectTargets();
    void backOfficeNeedsSession_data();
    void backOfficeNeedsSession();
    void logoutEndsTheSession();
    void listPageNumbers_data();
    void listPageNumbers();
    void detailPages();
    void aTradeChangesItsMindAfterTheWalk_data();
    void aTradeChangesItsMindAfterTheWalk();
    void failuresFollowTheSeed();
    void mutatedPagesFollowTheSeed();
    void latencyOnDetailPagesOnly();
    void outageDropsDetailPagesForAWhile();
    void otherRoutes_data();
    void otherRoutes();
};

void TestMarketSite::loginSetsCookieAndRedirects_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("location");
    QTest::newRow("post form")
        << QByteArray("POST") << QByteArray("/member/login.jhtml")
        << QByteArray(
               "TPL_username=a&TPL_password=b&redirectURL=http%3A%2F%2F127.0.0.1%3A8080%2Fseller_admin.htm")
        << QByteArray("http://127.0.0.1:8080/seller_admin.htm");
    QTest::newRow("get form")
        << QByteArray("GET")
        << QByteArray(
               "/member/"
               "login.jhtml?redirectURL=%2Ftrade%2Fitemlist%2Flist_sold_items.htm%3Fpage%3D2&TPL_username=a")
        << QByteArray() << QByteArray("/trade/itemlist/list_sold_items.htm?page=2");
    QTest::newRow("no redirect") << QByteArray("POST") << QByteArray("/member/login.jhtml")
                                 << QByteArray("TPL_username=%E5%BC%A0") << QByteArray("/seller_admin.htm");
}

void TestMarketSite::loginSetsCookieAndRedirects()
{
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, location);
    MarketSite site = MakeSite();
    const HttpReply reply = site.Handle(Request(method, target, {}, body));
    QCOMPARE(reply.response.status, 302);
    QCOMPARE(Header(reply, "Location"), location);
    const QByteArray cookie = Header(reply, "Set-Cookie");
    QVERIFY(cookie.startsWith("demo_session="));
    QVERIFY(cookie.contains("; Path=/"));
    const QByteArray pair = cookie.left(cookie.indexOf(';'));
    QCOMPARE(site.Handle(Request("GET", "/seller_admin.htm", pair)).response.status, 200);
}

void TestMarketSite::loginNeedsAName()
{
    MarketSite site = MakeSite();
    const HttpReply form = site.Handle(Request("GET", "/member/login.jhtml?redirectURL=%2Fseller_admin.htm"));
    QCOMPARE(form.response.status, 200);
    QVERIFY(form.response.body.contains("name=\"redirectURL\" value=\"/seller_admin.htm\""));
    const HttpReply refused
        = site.Handle(Request("POST", "/member/login.jhtml", {}, "TPL_username=+&TPL_password=x"));
    QCOMPARE(refused.response.status, 200);
    QVERIFY(Header(refused, "Set-Cookie").isEmpty());
    QVERIFY(QString::fromUtf8(refused.response.body).contains(QStringLiteral("请输入账户名")));
}

void TestMarketSite::redirectTargets_data()
{
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("target");
    QTest::newRow("loopback") << QStringLiteral("http://127.0.0.1:9/seller_admin.htm")
                              << QStringLiteral("http://127.0.0.1:9/seller_admin.htm");
    QTest::newRow("localhost") << QStringLiteral("https://localhost/x?a=1")
                               << QStringLiteral("https://localhost/x?a=1");
    QTest::newRow("path") << QStringLiteral("/trade/x?page=3") << QStringLiteral("/trade/x?page=3");
    QTest::newRow("other host") << QStringLiteral("http://example.com/")
                                << QStringLiteral("/seller_admin.htm");
    QTest::newRow("scheme-relative") << QStringLiteral("//example.com/a")
                                     << QStringLiteral("/seller_admin.htm");
    QTest::newRow("script") << QStringLiteral("javascript:alert(1)") << QStringLiteral("/seller_admin.htm");
    QTest::newRow("relative path") << QStringLiteral("seller_admin.htm")
                                   << QStringLiteral("/seller_admin.htm");
    QTest::newRow("empty") << QString() << QStringLiteral("/seller_admin.htm");
}

void TestMarketSite::redirectTargets()
{
    QFETCH(QString, asked);
    QFETCH(QString, target);
    QCOMPARE(SafeRedirectTarget(asked), target);
}

void TestMarketSite::backOfficeNeedsSession_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("cookie");
    QTest::addColumn<QByteArray>("location");
    QTest::newRow("back office")
        << QByteArray("/seller_admin.htm") << QByteArray()
        << QByteArray("/member/login.jhtml?redirectURL=http%3A%2F%2F127.0.0.1%3A8080%2Fseller_admin.htm");
    QTest::newRow("list")
        << QByteArray("/trade/itemlist/list_sold_items.htm?page=2") << QByteArray("demo_session=forged")
        << QByteArray("/member/login.jhtml?redirectURL=http%3A%2F%2F127.0.0.1%3A8080%2Ftrade%2Fitemlist%2F"
                      "list_sold_items.htm%3Fpage%3D2");
}

void TestMarketSite::backOfficeNeedsSession()
{
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, cookie);
    QFETCH(QByteArray, location);
    MarketSite site = MakeSite();
    const HttpReply reply = site.Handle(Request("GET", target, cookie));
    QCOMPARE(reply.response.status, 302);
    QCOMPARE(Header(reply, "Location"), location);
}

void TestMarketSite::logoutEndsTheSession()
{
    MarketSite site = MakeSite();
    const QByteArray cookie = LogIn(site);
    QCOMPARE(site.Handle(Request("GET", "/seller_admin.htm", cookie)).response.status, 200);
    const HttpReply out = site.Handle(Request("GET", "/member/logout.jhtml", cookie));
    QCOMPARE(out.response.status, 302);
    QVERIFY(Header(out, "Set-Cookie").contains("Max-Age=0"));
    QCOMPARE(site.Handle(Request("GET", "/seller_admin.htm", cookie)).response.status, 302);
}

void TestMarketSite::listPageNumbers_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<int>("shown");
    QTest::newRow("none") << QByteArray("") << 1;
    QTest::newRow("second") << QByteArray("?page=2") << 2;
    QTest::newRow("zero") << QByteArray("?page=0") << 1;
    QTest::newRow("past the end") << QByteArray("?page=99") << 3;
    QTest::newRow("not a number") << QByteArray("?page=abc") << 1;
}

void TestMarketSite::listPageNumbers()
{
    QFETCH(QByteArray, query);
    QFETCH(int, shown);
    MarketSite site = MakeSite();
    const HttpReply reply
        = site.Handle(Request("GET", "/trade/itemlist/list_sold_items.htm" + query, LogIn(site)));
    QCOMPARE(reply.response.status, 200);
    QCOMPARE(reply.response.contentType, QByteArray("text/html; charset=utf-8"));
    const QString page = QString::fromUtf8(reply.response.body);
    QVERIFY(page.contains(QStringLiteral("第 %1 页 / 共 3 页").arg(shown)));
    QVERIFY(page.contains(site.GetShop().trades[(shown - 1) * 20].orderNumber));
}

void TestMarketSite::detailPages()
{
    MarketSite site = MakeSite();
    const ShopTrade& trade = site.GetShop().trades[5];
    const QByteArray target
        = "/trade/detail/trade_item_detail.htm?bizOrderId=" + trade.orderNumber.toLatin1() + "&Time=1:2:3";

    const HttpReply anonymous = site.Handle(Request("GET", target));
    QCOMPARE(anonymous.response.status, 200);
    QVERIFY(!QString::fromUtf8(anonymous.response.body).contains(kDetailCompleteMarker));
    QVERIFY(anonymous.response.body.contains("J_LoginForm"));

    const QByteArray cookie = LogIn(site);
    const HttpReply detail = site.Handle(Request("GET", target, cookie));
    QCOMPARE(detail.response.status, 200);
    QCOMPARE(detail.response.contentType, QByteArray("text/html; charset=GBK"));
    const QString text = DecodeAnsi(detail.response.body);
    QVERIFY(text.contains(kDetailCompleteMarker));
    QVERIFY(text.contains(trade.AddressLine().toHtmlEscaped()));

    const HttpReply missing
        = site.Handle(Request("GET", "/trade/detail/trade_item_detail.htm?bizOrderId=1", cookie));
    QCOMPARE(missing.response.status, 404);
    QVERIFY(DecodeAnsi(missing.response.body).contains(kDetailCompleteMarker));
    QCOMPARE(site.DetailRequestCount(), quint64(3));
}

void TestMarketSite::aTradeChangesItsMindAfterTheWalk_data()
{
    QTest::addColumn<QString>("order"); // "" for the shop's sixth trade
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("httpStatus");
    QTest::newRow("refund asked") << "" << "退款中" << 200;
    QTest::newRow("closed") << "" << "交易关闭" << 200;
    QTest::newRow("a status no page shows") << "" << "已退货" << 400;
    QTest::newRow("an order not in the shop") << "1" << "交易关闭" << 404;
}

void TestMarketSite::aTradeChangesItsMindAfterTheWalk()
{
    QFETCH(QString, order);
    QFETCH(QString, status);
    QFETCH(int, httpStatus);
    MarketSite site = MakeSite();
    const ShopTrade trade = site.GetShop().trades[5];
    if (order.isEmpty())
        order = trade.orderNumber;
    const HttpReply changed = site.Handle(Request("GET",
        "/demo/change-status?order=" + order.toLatin1() + "&status=" + QUrl::toPercentEncoding(status)));
    QCOMPARE(changed.response.status, httpStatus);
    const QString now = httpStatus == 200 ? status : trade.status;
    QCOMPARE(site.GetShop().trades[5].status, now);
    const QByteArray cookie = LogIn(site);
    const QString detail = DecodeAnsi(site.Handle(Request("GET",
        "/trade/detail/trade_item_detail.htm?bizOrderId=" + trade.orderNumber.toLatin1(), cookie)).response.body);
    QVERIFY2(detail.contains(QStringLiteral("交易状态：") + now), qPrintable(detail));
}

// Every list and detail page a variant of its own, the same at every
// request (a page fetched again must not change), another with another
// seed; the shop, and so its truth, stays the plain one.
void TestMarketSite::mutatedPagesFollowTheSeed()
{
    SiteOptions options;
    QString message;
    QVERIFY(ParseMutationPlan(QStringLiteral("5:kept"), options.mutation, message));
    MarketSite plain = MakeSite({}, 3);
    MarketSite mutated = MakeSite(options, 3);
    QVERIFY(ParseMutationPlan(QStringLiteral("6"), options.mutation, message));
    MarketSite otherSeed = MakeSite(options, 3);
    QCOMPARE(mutated.GetShop().trades.size(), plain.GetShop().trades.size());
    QByteArray targets[] = { "/trade/itemlist/list_sold_items.htm?page=2", {} };
    int differ = 0, differBySeed = 0;
    for (const ShopTrade& trade : plain.GetShop().trades) {
        QCOMPARE(mutated.GetShop().FindTrade(trade.orderNumber)->AddressLine(), trade.AddressLine());
        targets[1] = "/trade/detail/trade_item_detail.htm?bizOrderId=" + trade.orderNumber.toLatin1();
        for (const QByteArray& target : targets) {
            const QByteArray once = mutated.Handle(Request("GET", target, LogIn(mutated))).response.body;
            QVERIFY2(mutated.LastMutation().contains(QStringLiteral(" kept rewritten=")),
                qPrintable(mutated.LastMutation()));
            QCOMPARE(mutated.Handle(Request("GET", target, LogIn(mutated))).response.body, once);
            differ += once != plain.Handle(Request("GET", target, LogIn(plain))).response.body;
            differBySeed += once != otherSeed.Handle(Request("GET", target, LogIn(otherSeed))).response.body;
        }
    }
    // A page a mutation found nothing to change in may come plain.
    const int pages = int(plain.GetShop().trades.size()) * 2;
    QVERIFY2(differ > pages * 9 / 10 && differBySeed > pages * 9 / 10, qPrintable(QString::number(differ)));
    QVERIFY(!ParseMutationPlan(QStringLiteral("5:some"), options.mutation, message));
    QVERIFY(!ParseMutationPlan(QStringLiteral("x:kept"), options.mutation, message));
}

void TestMarketSite::failuresFollowTheSeed()
{
    SiteOptions options;
    options.failRate = 0.3;
    MarketSite first = MakeSite(options, 9);
    MarketSite second = MakeSite(options, 9);
    MarketSite otherSeed = MakeSite(options, 10);
    const QByteArray cookies[] = { LogIn(first), LogIn(second), LogIn(otherSeed) };
    const QByteArray target = "/trade/detail/trade_item_detail.htm?bizOrderId="
        + first.GetShop().trades[0].orderNumber.toLatin1();
    QString pattern[3];
    int dropped = 0, busy = 0;
    const int requests = 400;
    for (int i = 0; i < requests; ++i) {
        MarketSite* sites[] = { &first, &second, &otherSeed };
        for (int s = 0; s < 3; ++s) {
            const HttpReply reply = sites[s]->Handle(Request("GET", target, cookies[s]));
            const bool complete
                = !reply.drop && DecodeAnsi(reply.response.body).contains(kDetailCompleteMarker);
            pattern[s] += reply.drop ? QLatin1Char('d') : complete ? QLatin1Char('.') : QLatin1Char('b');
            if (s == 0) {
                dropped += reply.drop;
                busy += !reply.drop && !complete;
                if (!reply.drop && !complete)
                    QCOMPARE(reply.response.status, 503);
            }
        }
    }
    QCOMPARE(pattern[1], pattern[0]);
    QVERIFY(pattern[2] != pattern[0]);
    // 30 % of 400 is 120; binomial spread is about 9.
    QVERIFY2(dropped + busy > 80 && dropped + busy < 160, qPrintable(pattern[0]));
    QVERIFY(dropped > 20 && busy > 20);

    // List pages never fail.
    for (int i = 0; i < 50; ++i)
        QCOMPARE(first.Handle(Request("GET", "/trade/itemlist/list_sold_items.htm?page=1", cookies[0]))
                     .response.status,
            200);
}

void TestMarketSite::latencyOnDetailPagesOnly()
{
    SiteOptions options;
    options.latencyMs = 750;
    MarketSite site = MakeSite(options);
    const QByteArray cookie = LogIn(site);
    QCOMPARE(
        site.Handle(Request("GET", "/trade/detail/trade_item_detail.htm?bizOrderId=1", cookie)).delayMs, 750);
    QCOMPARE(site.Handle(Request("GET", "/trade/detail/trade_item_detail.htm?bizOrderId=1")).delayMs, 750);
    QCOMPARE(site.Handle(Request("GET", "/trade/itemlist/list_sold_items.htm", cookie)).delayMs, 0);
    QCOMPARE(site.Handle(Request("GET", "/seller_admin.htm", cookie)).delayMs, 0);
}

void TestMarketSite::outageDropsDetailPagesForAWhile()
{
    SiteOptions options;
    options.latencyMs = 300;
    options.outageAfter = 2;
    options.outageSeconds = 1;
    MarketSite site = MakeSite(options);
    const QByteArray cookie = LogIn(site);
    const QByteArray target
        = "/trade/detail/trade_item_detail.htm?bizOrderId=" + site.GetShop().trades[0].orderNumber.toLatin1();
    QString pattern;
    auto detail = [&] {
        const HttpReply reply = site.Handle(Request("GET", target, cookie));
        pattern += reply.drop ? QLatin1Char('d') : QLatin1Char('.');
        return reply;
    };
    detail();
    detail();
    // From the third request on, dropped at once; list pages still answer.
    QCOMPARE(detail().delayMs, 0);
    detail();
    QCOMPARE(
        site.Handle(Request("GET", "/trade/itemlist/list_sold_items.htm?page=1", cookie)).response.status,
        200);
    QTest::qWait(1100);
    QCOMPARE(detail().delayMs, 300);
    QCOMPARE(pattern, QStringLiteral("..dd."));
}

void TestMarketSite::otherRoutes_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("contains");
    QTest::newRow("download") << QByteArray("GET") << QByteArray("/download?ID=58") << 200
                              << QStringLiteral("<title>Lumetra交易数据提取软件(2.00)</title>");
    QTest::newRow("download any id") << QByteArray("GET") << QByteArray("/download?ID=7&Time=1") << 200
                                     << QStringLiteral("(2.00)");
    QTest::newRow("root") << QByteArray("GET") << QByteArray("/") << 302 << QString();
    QTest::newRow("unknown") << QByteArray("GET") << QByteArray("/favicon.ico") << 404 << QString();
    QTest::newRow("put") << QByteArray("PUT") << QByteArray("/seller_admin.htm") << 405 << QString();
}

void TestMarketSite::otherRoutes()
{
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, target);
    QFETCH(int, status);
    QFETCH(QString, contains);
    MarketSite site = MakeSite();
    const HttpReply reply = site.Handle(Request(method, target));
    QCOMPARE(reply.response.status, status);
    QVERIFY(QString::fromUtf8(reply.response.body).contains(contains));
}

LUMETRA_TEST_GUILESS_MAIN(TestMarketSite)
#include "TestMarketSite.moc"

// Page fetches against a real HTTP server on loopback: the request as sent,
// the marker and retry rules, decoding, time-outs, broken and huge answers.

#include "core/base/EventWait.h"
#include "core/network/HttpGetPage.h"
#include "core/network/PageFetcher.h"
#include "core/network/SharedCookieJar.h"
#include "core/text/AnsiCodec.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QNetworkCookie>
#include <QRegularExpression>
#include <QTimer>
#include <memory>

using testweb::HttpResponse;
using testweb::LocalHttpServer;

namespace {
// What a test reads as the page when no attempt completed.
const QString kUntouched = QStringLiteral("earlier text");

// A loopback port nobody listens on any more: connections are refused.
quint16 ClosedPort()
{
    LocalHttpServer gone([](const QByteArray&, const QByteArray&) { return QByteArray(); });
    return gone.port();
}
} // namespace

class TestHttpGetPage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void appendTimeParameter_data();
    void appendTimeParameter();
    void requestCarriesTimeHeaderAndUserAgent();
    void completedResponse_data();
    void completedResponse();
    void markerFoundOnThirdAttempt();
    void silentServerEndsAfterFiveDeadlines();
    void refusedConnectionLeavesResponse();
    void bodyOfTwentyMegabytes();
    void singleAttempt_data();
    void singleAttempt();
    void cookiesOnlyToTheirHost();
    void demoMarketPages();
    void connectionFailuresAreSpacedOut();
    // Last: once the application is told to quit, no event loop runs again.
    void waitEndsWhenApplicationQuits();

private:
    PageFetcher fetcher_;
};

void TestHttpGetPage::initTestCase()
{
    // Attempts after a refused connection follow each other quickly here;
    // connectionFailuresAreSpacedOut uses the real pauses.
    fetcher_.SetFirstRetryPauseMs(10);
}

void TestHttpGetPage::appendTimeParameter_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no query") << "http://h/p"
                              << "http://h/p?Time=14:05:09";
    QTest::newRow("query") << "http://h/p?bizOrderId=123"
                           << "http://h/p?bizOrderId=123&Time=14:05:09";
    QTest::newRow("bare question mark") << "http://h/p?"
                                        << "http://h/p?&Time=14:05:09";
    QTest::newRow("download page") << "http://h/download?ID=58"
                                   << "http://h/download?ID=58&Time=14:05:09";
    QTest::newRow("empty") << ""
                           << "?Time=14:05:09";
}

void TestHttpGetPage::appendTimeParameter()
{
    QFETCH(QString, address);
    QFETCH(QString, expected);
    QCOMPARE(AppendTimeParameter(address, QTime(14, 5, 9)), expected);
}

void TestHttpGetPage::requestCarriesTimeHeaderAndUserAgent()
{
    LocalHttpServer server([](const QByteArray&, const QByteArray&) { return HttpResponse("ok"); });
    PageFetcher fetcher;
    fetcher.SetUserAgent("LumetraTestAgent/1.0");
    QVERIFY(HttpGetPage(fetcher, server.url("/page?a=1"), QString(), 5).Arrived());
    QCOMPARE(server.requestCount(), 1);
    const QByteArray head = server.heads().first();
    QVERIFY2(QRegularExpression(QStringLiteral("^GET /page\\?a=1&Time=\\d\\d:\\d\\d:\\d\\d HTTP/1\\.1\r\n"))
                 .match(QString::fromLatin1(head))
                 .hasMatch(),
        head.constData());
    QVERIFY(head.contains("\r\nCONTENT-TYPE: text/xml\r\n"));
    QVERIFY(head.contains("\r\nUser-Agent: LumetraTestAgent/1.0\r\n"));
}

void TestHttpGetPage::completedResponse_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("marker");
    QTest::addColumn<bool>("arrives");
    QTest::addColumn<QString>("expectedResponse");
    QTest::addColumn<int>("expectedRequests");

    QTest::newRow("marker, cut before last <BR>, <+> is a line break")
        << HttpResponse("A<+>B<BR>C<BR>D MARK") << "MARK" << true << "A\r\nB<BR>C" << 1;
    QTest::newRow("marker without <BR>")
        << HttpResponse("A<+>B MARK") << "MARK" << true << "A\r\nB MARK" << 1;
    QTest::newRow("no marker: five attempts, whole text")
        << HttpResponse("A<+>B<BR>C") << "MARK" << false << "A<+>B<BR>C" << 5;
    QTest::newRow("marker is case-sensitive") << HttpResponse("mark") << "MARK" << false << "mark" << 5;
    QTest::newRow("lower-case <br> does not cut")
        << HttpResponse("A<br>B MARK") << "MARK" << true << "A<br>B MARK" << 1;
    QTest::newRow("empty marker accepts anything") << HttpResponse("x<BR>y") << QString() << true << "x" << 1;
    QTest::newRow("empty body, empty marker") << HttpResponse("") << QString() << true << QString() << 1;
    QTest::newRow("status is not looked at")
        << HttpResponse("gone MARK", "text/html", 404) << "MARK" << true << "gone MARK" << 1;
    // A server error is no answer, whatever the marker: tried again after
    // pauses, as a refused connection is, and nothing comes back.
    QTest::newRow("server error without body")
        << HttpResponse("", "", 500) << QString() << false << kUntouched << 5;
    QTest::newRow("server busy, the page's marker in its body")
        << HttpResponse("busy MARK", "text/html", 503) << "MARK" << false << kUntouched << 5;
    QTest::newRow("LF and CR become CR LF")
        << HttpResponse("a\nb\rc\r\nd") << "b" << true << "a\r\nb\r\nc\r\nd" << 1;
    QTest::newRow("undeclared GBK") << HttpResponse(
        EncodeAnsi(QStringLiteral("收货人：张三<BR>>关于淘宝</a>")), "")
                                    << ">关于淘宝</" << true << "收货人：张三" << 1;
    QTest::newRow("GBK declared in header")
        << HttpResponse(EncodeAnsi(QStringLiteral("省份：浙江 >关于淘宝</")), "text/html; charset=GBK")
        << ">关于淘宝</" << true << "省份：浙江 >关于淘宝</" << 1;
    QTest::newRow("UTF-8 declared in header")
        << HttpResponse(QStringLiteral("收货人：李四 >关于淘宝</").toUtf8(), "text/html; charset=utf-8")
        << ">关于淘宝</" << true << "收货人：李四 >关于淘宝</" << 1;
    QTest::newRow("UTF-8 declared in meta")
        << HttpResponse(QStringLiteral("<meta charset=\"utf-8\">王五 >关于淘宝</").toUtf8(), "text/html")
        << ">关于淘宝</" << true << "<meta charset=\"utf-8\">王五 >关于淘宝</" << 1;
    QTest::newRow("GBK bytes read as UTF-8 miss the marker")
        << HttpResponse(EncodeAnsi(QStringLiteral("关于淘宝")), "text/html; charset=utf-8") << "关于淘宝"
        << false << QString::fromUtf8(EncodeAnsi(QStringLiteral("关于淘宝"))) << 5;
    // The server promises 1000 bytes and closes after a few: the page as far
    // as it came, not cut at its <BR>.
    QTest::newRow("connection cut off")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nbeginning<BR>of a page")
        << ">关于淘宝</" << false << "beginning<BR>of a page" << 5;
}

void TestHttpGetPage::completedResponse()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, marker);
    QFETCH(bool, arrives);
    QFETCH(QString, expectedResponse);
    QFETCH(int, expectedRequests);

    LocalHttpServer server([&](const QByteArray&, const QByteArray&) { return answer; });
    const FetchResult got = HttpGetPage(fetcher_, server.url("/detail"), marker, 5);
    QCOMPARE(got.Arrived(), arrives);
    QCOMPARE(got.body.value_or(kUntouched), expectedResponse);
    QCOMPARE(server.requestCount(), expectedRequests);
}

void TestHttpGetPage::markerFoundOnThirdAttempt()
{
    int served = 0;
    LocalHttpServer server([&](const QByteArray&, const QByteArray&) {
        return ++served < 3 ? HttpResponse("busy") : HttpResponse("page 3<BR>MARK");
    });
    const FetchResult got = HttpGetPage(fetcher_, server.url("/p"), "MARK", 5);
    QVERIFY(got.Arrived());
    QCOMPARE(got.body.value_or(kUntouched), QStringLiteral("page 3"));
    QCOMPARE(server.requestCount(), 3);
}

void TestHttpGetPage::silentServerEndsAfterFiveDeadlines()
{
    LocalHttpServer server([](const QByteArray&, const QByteArray&) { return QByteArray(); });
    QElapsedTimer elapsed;
    elapsed.start();
    const FetchResult got = HttpGetPage(fetcher_, server.url("/slow"), QString(), 1);
    QCOMPARE(got.status, FetchStatus::Failed);
    // Each attempt waited out its own one-second deadline.
    QVERIFY2(elapsed.elapsed() >= 4900, qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(server.requestCount(), 5);
    QVERIFY(!got.body);
}

void TestHttpGetPage::refusedConnectionLeavesResponse()
{
    const QString address = QStringLiteral("http://127.0.0.1:%1/x").arg(ClosedPort());
    const FetchResult got = HttpGetPage(fetcher_, address, QString(), 2);
    QCOMPARE(got.status, FetchStatus::Failed);
    QVERIFY(!got.body);
}

void TestHttpGetPage::bodyOfTwentyMegabytes()
{
    QByteArray body(20 * 1024 * 1024, 'x');
    body += "<BR>tail MARK";
    LocalHttpServer server([&](const QByteArray&, const QByteArray&) { return HttpResponse(body); });
    const FetchResult got = HttpGetPage(fetcher_, server.url("/big"), "MARK", 30);
    QVERIFY(got.Arrived());
    QCOMPARE(got.body->size(), qsizetype(20 * 1024 * 1024));
    QVERIFY(got.body->endsWith(QLatin1Char('x')));
}

void TestHttpGetPage::singleAttempt_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("arrives");
    QTest::addColumn<QString>("expectedResponse");
    QTest::newRow("redirect followed") << "/moved" << true << "arrived";
    QTest::newRow("redirect loop fails") << "/loop" << false << kUntouched;
    QTest::newRow("body above the limit fails") << "/huge" << false << kUntouched;
}

void TestHttpGetPage::singleAttempt()
{
    QFETCH(QString, start);
    QFETCH(bool, arrives);
    QFETCH(QString, expectedResponse);
    const QByteArray huge
        = start == QLatin1String("/huge") ? HttpResponse(QByteArray(kMaxBodyBytes + 1024, 'y') + "MARK") : "";
    LocalHttpServer server([&](const QByteArray& target, const QByteArray&) {
        if (target.startsWith("/moved"))
            return testweb::RedirectResponse("/final");
        if (target.startsWith("/loop"))
            return testweb::RedirectResponse("/loop");
        return target.startsWith("/huge") ? huge : HttpResponse("arrived<BR>MARK");
    });
    const FetchResult got = HttpGetPageOnce(fetcher_, server.url(start), "MARK", 30);
    QCOMPARE(got.Arrived(), arrives);
    QCOMPARE(got.body.value_or(kUntouched), expectedResponse);
    // The loop is given up after the allowed number of redirects (Qt may
    // send a request again when the server closed the connection under it).
    if (start == QLatin1String("/loop"))
        QVERIFY2(server.requestCount() <= 2 * (kMaxRedirects + 1),
            qPrintable(QString::number(server.requestCount())));
}

void TestHttpGetPage::cookiesOnlyToTheirHost()
{
    LocalHttpServer server([](const QByteArray&, const QByteArray&) { return HttpResponse("ok"); });
    QNetworkCookie cookie("session", "s3cr3t");
    cookie.setDomain(QStringLiteral("127.0.0.1"));
    cookie.setPath(QStringLiteral("/"));
    fetcher_.CookieJar().AddCookie(cookie);

    QVERIFY(HttpGetPageOnce(fetcher_, server.url("/a"), QString(), 5).Arrived());
    const QString otherHost = QStringLiteral("http://localhost:%1/b").arg(server.port());
    QVERIFY(HttpGetPageOnce(fetcher_, otherHost, QString(), 5).Arrived());
    fetcher_.CookieJar().RemoveCookie(cookie);
    QVERIFY(HttpGetPageOnce(fetcher_, server.url("/c"), QString(), 5).Arrived());

    QCOMPARE(server.requestCount(), 3);
    QVERIFY(server.heads().at(0).contains("\r\nCookie: session=s3cr3t\r\n"));
    QVERIFY(!server.heads().at(1).contains("s3cr3t"));
    QVERIFY(!server.heads().at(2).contains("s3cr3t"));
}

void TestHttpGetPage::demoMarketPages()
{
    testsupport::DemoMarket market;
    if (!market.ok())
        SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
    const FetchResult download
        = HttpGetPage(fetcher_, market.url(QStringLiteral("/download?ID=58")), "</title>", 10);
    QVERIFY(download.Arrived());
    QVERIFY(download.body->contains(QLatin1String("<title>")));
    QVERIFY(download.body->contains(QLatin1Char('(')));

    const QString detail = market.url(QStringLiteral("/trade/detail/trade_item_detail.htm?bizOrderId=1"));
    // Without the session cookie the marketplace answers with its login
    // page, which lacks the completion marker.
    const FetchResult login = HttpGetPage(fetcher_, detail, QStringLiteral(">关于淘宝</"), 10);
    QCOMPARE(login.status, FetchStatus::Failed);
    QVERIFY(login.body);
    QVERIFY(!login.body->contains(QStringLiteral(">关于淘宝</")));
}

void TestHttpGetPage::connectionFailuresAreSpacedOut()
{
    PageFetcher fetcher; // the real pauses
    const quint16 port = ClosedPort();
    // The server is away (connections refused) and comes back on its port
    // after 1.5 s: attempts 1, 2 and 4 s apart reach it; five attempts in a
    // row would all be refused within milliseconds.
    std::unique_ptr<LocalHttpServer> back;
    QTimer::singleShot(1500, this, [&] {
        back = std::make_unique<LocalHttpServer>(
            [](const QByteArray&, const QByteArray&) { return HttpResponse("back<BR>MARK"); }, port);
    });
    const FetchResult got
        = HttpGetPage(fetcher, QStringLiteral("http://127.0.0.1:%1/p").arg(port), QStringLiteral("MARK"), 5);
    QVERIFY(back && back->isListening());
    QVERIFY(got.Arrived());
    QCOMPARE(got.body.value_or(kUntouched), QStringLiteral("back"));
    QCOMPARE(back->requestCount(), 1);
}

void TestHttpGetPage::waitEndsWhenApplicationQuits()
{
    LocalHttpServer silent([](const QByteArray&, const QByteArray&) { return QByteArray(); });
    QTimer::singleShot(200, qApp, [] { QCoreApplication::exit(0); });
    QElapsedTimer elapsed;
    elapsed.start();
    const FetchResult got = HttpGetPage(fetcher_, silent.url("/never"), QString(), 30);
    QCOMPARE(got.status, FetchStatus::Failed);
    QVERIFY2(elapsed.elapsed() < 5000, qPrintable(QString::number(elapsed.elapsed())));
    QVERIFY(!got.body);
}

LUMETRA_TEST_GUILESS_MAIN(TestHttpGetPage)
#include "TestHttpGetPage.moc"

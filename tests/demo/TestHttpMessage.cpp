#include "HttpMessage.h"
#include "support/TestSupport.h"

using namespace demo;
using State = HttpRequestReader::State;

class TestHttpMessage : public QObject {
    Q_OBJECT
private slots:
    void readsRequests_data();
    void readsRequests();
    void rejectsBadRequests_data();
    void rejectsBadRequests();
    void waitsForEveryByte();
    void formValuesAndCookies();
    void serializesResponses();
};

void TestHttpMessage::readsRequests_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("get with query") << QByteArray(
        "GET /trade/detail/trade_item_detail.htm?bizOrderId=123&Time=12:00:01 HTTP/1.1\r\n"
        "Host: 127.0.0.1:1\r\n\r\n") << QByteArray("GET")
                                    << QStringLiteral("/trade/detail/trade_item_detail.htm")
                                    << QStringLiteral("Time") << QStringLiteral("12:00:01");
    QTest::newRow("encoded redirect") << QByteArray(
        "GET /member/login.jhtml?redirectURL=http%3A%2F%2F127.0.0.1%3A8%2Fseller_admin.htm HTTP/1.1\r\n\r\n")
                                      << QByteArray("GET") << QStringLiteral("/member/login.jhtml")
                                      << QStringLiteral("redirectURL")
                                      << QStringLiteral("http://127.0.0.1:8/seller_admin.htm");
    QTest::newRow("utf-8 path") << QByteArray("GET /%E5%AE%9D?a=%E8%B4%9D HTTP/1.0\r\n\r\n")
                                << QByteArray("GET") << QStringLiteral("/宝") << QStringLiteral("a")
                                << QStringLiteral("贝");
    QTest::newRow("plus is a blank") << QByteArray("GET /x?q=a+b HTTP/1.1\r\n\r\n") << QByteArray("GET")
                                     << QStringLiteral("/x") << QStringLiteral("q") << QStringLiteral("a b");
}

void TestHttpMessage::readsRequests()
{
    QFETCH(QByteArray, raw);
    QFETCH(QByteArray, method);
    QFETCH(QString, path);
    QFETCH(QString, key);
    QFETCH(QString, value);
    HttpRequestReader reader;
    QCOMPARE(reader.Feed(raw), State::Complete);
    QCOMPARE(reader.Request().method, method);
    QCOMPARE(reader.Request().path, path);
    QCOMPARE(reader.Request().FormValue(key), value);
}

void TestHttpMessage::rejectsBadRequests_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<int>("status");
    QTest::newRow("garbage") << QByteArray("HELLO\r\n\r\n") << 400;
    QTest::newRow("no slash") << QByteArray("GET index.html HTTP/1.1\r\n\r\n") << 400;
    QTest::newRow("not http") << QByteArray("GET / SPDY/3\r\n\r\n") << 400;
    QTest::newRow("header without colon") << QByteArray("GET / HTTP/1.1\r\nbroken\r\n\r\n") << 400;
    QTest::newRow("negative length") << QByteArray("POST / HTTP/1.1\r\nContent-Length: -5\r\n\r\n") << 400;
    QTest::newRow("chunked") << QByteArray("POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n") << 501;
    QTest::newRow("huge body") << QByteArray("POST / HTTP/1.1\r\nContent-Length: 99999999\r\n\r\n") << 413;
    QTest::newRow("endless header") << QByteArray("GET / HTTP/1.1\r\nX: ") + QByteArray(40000, 'a') << 431;
}

void TestHttpMessage::rejectsBadRequests()
{
    QFETCH(QByteArray, raw);
    QFETCH(int, status);
    HttpRequestReader reader;
    QCOMPARE(reader.Feed(raw), State::Bad);
    QCOMPARE(reader.BadStatus(), status);
    QCOMPARE(reader.Feed("more"), State::Bad);
}

void TestHttpMessage::waitsForEveryByte()
{
    const QByteArray raw
        = "POST /member/login.jhtml HTTP/1.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
          "Content-Length: 28\r\n\r\nTPL_username=%E5%BC%A0+san&x";
    HttpRequestReader reader;
    for (qsizetype i = 0; i + 1 < raw.size(); ++i)
        QCOMPARE(reader.Feed(raw.mid(i, 1)), State::NeedMore);
    QCOMPARE(reader.Feed(raw.right(1)), State::Complete);
    QCOMPARE(reader.Request().body.size(), 28);
    QCOMPARE(reader.Request().FormValue(QStringLiteral("TPL_username")), QStringLiteral("张 san"));
}

void TestHttpMessage::formValuesAndCookies()
{
    HttpRequestReader reader;
    QCOMPARE(reader.Feed("POST /l?a=query&b=2 HTTP/1.1\r\nCookie: x=1; demo_session=abc ; y=\r\n"
                         "Content-Type: application/x-www-form-urlencoded; charset=UTF-8\r\n"
                         "Content-Length: 6\r\n\r\na=body"),
        State::Complete);
    const HttpRequest& request = reader.Request();
    QCOMPARE(request.FormValue(QStringLiteral("a")), QStringLiteral("body")); // the body wins
    QCOMPARE(request.FormValue(QStringLiteral("b")), QStringLiteral("2"));
    QCOMPARE(request.Cookie(QStringLiteral("demo_session")), QStringLiteral("abc"));
    QCOMPARE(request.Cookie(QStringLiteral("x")), QStringLiteral("1"));
    QCOMPARE(request.Cookie(QStringLiteral("missing")), QString());
}

void TestHttpMessage::serializesResponses()
{
    HttpResponse response = HttpResponse::Redirect(QStringLiteral("/seller_admin.htm"));
    response.headers.append(qMakePair(QByteArray("Set-Cookie"), QByteArray("demo_session=1; Path=/")));
    const QByteArray wire = response.Serialize();
    QVERIFY(wire.startsWith("HTTP/1.1 302 Found\r\n"));
    QVERIFY(wire.contains("\r\nLocation: /seller_admin.htm\r\n"));
    QVERIFY(wire.contains("\r\nSet-Cookie: demo_session=1; Path=/\r\n"));
    QVERIFY(wire.contains("\r\nConnection: close\r\n"));
    const qsizetype split = wire.indexOf("\r\n\r\n");
    QVERIFY(split > 0);
    QVERIFY(wire.contains("Content-Length: " + QByteArray::number(wire.size() - split - 4) + "\r\n"));
}

LUMETRA_TEST_GUILESS_MAIN(TestHttpMessage)
#include "TestHttpMessage.moc"

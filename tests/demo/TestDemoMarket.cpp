// The demo marketplace program itself, over loopback HTTP.

#include "core/text/AnsiCodec.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTimer>

namespace {

struct Fetched {
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray contentType;
    QByteArray location;
    QList<QNetworkCookie> cookies;
    QByteArray body;
};

// One request, waited for on the event loop; redirects are not followed.
Fetched Fetch(QNetworkAccessManager& manager, const QString& url, const QByteArray& cookie = {},
    const QByteArray& postBody = {})
{
    QNetworkRequest request { QUrl(url) };
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    // Cookies travel only when the test passes them.
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    if (!cookie.isEmpty())
        request.setRawHeader("Cookie", cookie);
    QNetworkReply* reply;
    if (postBody.isEmpty()) {
        reply = manager.get(request);
    } else {
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        reply = manager.post(request, postBody);
    }
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    Fetched result;
    if (!reply->isFinished()) {
        reply->abort();
        result.error = QNetworkReply::TimeoutError;
    } else {
        result.error = reply->error();
    }
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.contentType = reply->rawHeader("Content-Type");
    result.location = reply->rawHeader("Location");
    result.cookies = reply->header(QNetworkRequest::SetCookieHeader).value<QList<QNetworkCookie>>();
    result.body = reply->readAll();
    reply->deleteLater();
    return result;
}

QByteArray LogIn(QNetworkAccessManager& manager, const testsupport::DemoMarket& market)
{
    const Fetched login = Fetch(manager, market.url(QStringLiteral("/member/login.jhtml")), {},
        "TPL_username=seller&TPL_password=secret");
    if (login.cookies.isEmpty())
        return {};
    return login.cookies.first().toRawForm(QNetworkCookie::NameAndValueOnly);
}

QString DetailUrl(const testsupport::DemoMarket& market, const QString& orderNumber)
{
    return market.url(
        QStringLiteral("/trade/detail/trade_item_detail.htm?bizOrderId=%1&Time=10:11:12").arg(orderNumber));
}

// The first order number on the first list page.
QString FirstOrderNumber(
    QNetworkAccessManager& manager, const testsupport::DemoMarket& market, const QByteArray& cookie)
{
    const Fetched list
        = Fetch(manager, market.url(QStringLiteral("/trade/itemlist/list_sold_items.htm?page=1")), cookie);
    static const QRegularExpression number(QStringLiteral("订单编号：<span>([0-9]+)</span>"));
    return number.match(QString::fromUtf8(list.body)).captured(1);
}

const QString kMarker = QStringLiteral(">关于淘宝</");

} // namespace

class TestDemoMarket : public QObject {
    Q_OBJECT
private slots:
    void printsItsAddressFirst();
    void loginSetsCookieAndRedirects();
    void listPagesNeedLogin();
    void listPagesAndPager_data();
    void listPagesAndPager();
    void detailPagesAreGbkAndNeedTheCookie();
    void failRateApplies();
    void latencyApplies();
    void sameSeedSameShop();
    void downloadPageShowsVersion();
    void badOptionsAreRefused_data();
    void badOptionsAreRefused();

private:
    QNetworkAccessManager manager_;
};

void TestDemoMarket::printsItsAddressFirst()
{
    testsupport::DemoMarket market;
    QVERIFY2(market.ok(), "LUMETRA_DEMO_MARKET does not start");
    QVERIFY2(QRegularExpression(QStringLiteral("^http://127\\.0\\.0\\.1:[1-9][0-9]*$"))
                 .match(market.base())
                 .hasMatch(),
        qPrintable(market.base()));
}

void TestDemoMarket::loginSetsCookieAndRedirects()
{
    testsupport::DemoMarket market;
    QVERIFY(market.ok());
    const QString backOffice = market.url(QStringLiteral("/seller_admin.htm"));
    const Fetched form = Fetch(manager_,
        market.url(QStringLiteral("/member/login.jhtml?redirectURL=")
            + QString::fromLatin1(QUrl::toPercentEncoding(backOffice))));
    QCOMPARE(form.status, 200);
    QVERIFY(form.body.contains("<form"));

    const Fetched login = Fetch(manager_, market.url(QStringLiteral("/member/login.jhtml")), {},
        "TPL_username=a&TPL_password=b&redirectURL=" + QUrl::toPercentEncoding(backOffice));
    QCOMPARE(login.status, 302);
    QCOMPARE(QString::fromLatin1(login.location), backOffice);
    QCOMPARE(login.cookies.size(), 1);
    QCOMPARE(login.cookies.first().path(), QStringLiteral("/"));
    const QByteArray cookie = login.cookies.first().toRawForm(QNetworkCookie::NameAndValueOnly);

    const Fetched office = Fetch(manager_, backOffice, cookie);
    QCOMPARE(office.status, 200);
    const QString html = QString::fromUtf8(office.body);
    QVERIFY(html.contains(QStringLiteral("class=\"user-nick\"")));
    QVERIFY(html.contains(QStringLiteral(">已卖出的宝贝</a>")));
}

void TestDemoMarket::listPagesNeedLogin()
{
    testsupport::DemoMarket market;
    QVERIFY(market.ok());
    const Fetched list
        = Fetch(manager_, market.url(QStringLiteral("/trade/itemlist/list_sold_items.htm?page=1")));
    QCOMPARE(list.status, 302);
    QVERIFY(list.location.startsWith("/member/login.jhtml?redirectURL=http%3A%2F%2F127.0.0.1%3A"));
}

void TestDemoMarket::listPagesAndPager_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("hasNext");
    QTest::newRow("first") << 1 << true;
    QTest::newRow("middle") << 2 << true;
    QTest::newRow("last") << 3 << false;
}

void TestDemoMarket::listPagesAndPager()
{
    QFETCH(int, page);
    QFETCH(bool, hasNext);
    testsupport::DemoMarket market({ QStringLiteral("--pages"), QStringLiteral("3"),
        QStringLiteral("--per-page"), QStringLiteral("4") });
    QVERIFY(market.ok());
    const QByteArray cookie = LogIn(manager_, market);
    const Fetched list = Fetch(manager_,
        market.url(QStringLiteral("/trade/itemlist/list_sold_items.htm?page=%1").arg(page)), cookie);
    QCOMPARE(list.status, 200);
    QVERIFY(list.contentType.contains("charset=utf-8"));
    QVERIFY(list.body.contains("\r\n"));
    QVERIFY(!list.body.contains("\n\n"));
    const QString html = QString::fromUtf8(list.body);
    QVERIFY(html.contains(QStringLiteral("charset=utf-8")));
    QVERIFY(html.contains(QStringLiteral("id=\"J_ListTable\"")));
    QCOMPARE(html.count(QStringLiteral("<tbody class=\"trade\"")), 4);
    QCOMPARE(html.count(QStringLiteral("订单编号：")), 4);
    QCOMPARE(html.count(QStringLiteral("成交时间：")), 4);
    QVERIFY(html.contains(QStringLiteral(">详情</a>")));
    QVERIFY(html.contains(QStringLiteral("旺旺")));
    static const QRegularExpression next(QStringLiteral("<a ([^>]*)>下一页</a>"));
    const QRegularExpressionMatch link = next.match(html);
    QVERIFY(link.hasMatch());
    QCOMPARE(!link.captured(1).contains(QStringLiteral("disabled")), hasNext);
    if (hasNext)
        QVERIFY(link.captured(1).contains(QStringLiteral("page=%1\"").arg(page + 1)));
}

void TestDemoMarket::detailPagesAreGbkAndNeedTheCookie()
{
    testsupport::DemoMarket market;
    QVERIFY(market.ok());
    const QByteArray cookie = LogIn(manager_, market);
    const QString orderNumber = FirstOrderNumber(manager_, market, cookie);
    QVERIFY(!orderNumber.isEmpty());

    const Fetched detail = Fetch(manager_, DetailUrl(market, orderNumber), cookie);
    QCOMPARE(detail.status, 200);
    QCOMPARE(detail.contentType, QByteArray("text/html; charset=GBK"));
    const QString text = DecodeAnsi(detail.body);
    QVERIFY(text.contains(kMarker));
    QVERIFY(text.contains(QStringLiteral("收货和物流信息")));
    QVERIFY(text.contains(QStringLiteral("订单编号：") + orderNumber));
    QVERIFY(!QString::fromUtf8(detail.body).contains(QStringLiteral("收货和物流信息")));

    const Fetched anonymous = Fetch(manager_, DetailUrl(market, orderNumber));
    QCOMPARE(anonymous.error, QNetworkReply::NoError);
    QVERIFY(!DecodeAnsi(anonymous.body).contains(kMarker));
    QVERIFY(!QString::fromUtf8(anonymous.body).contains(kMarker));
}

void TestDemoMarket::failRateApplies()
{
    testsupport::DemoMarket market({ QStringLiteral("--fail-rate"), QStringLiteral("0.5"),
        QStringLiteral("--seed"), QStringLiteral("4") });
    QVERIFY(market.ok());
    const QByteArray cookie = LogIn(manager_, market);
    const QString orderNumber = FirstOrderNumber(manager_, market, cookie);
    int complete = 0, dropped = 0, busy = 0;
    for (int i = 0; i < 60; ++i) {
        const Fetched detail = Fetch(manager_, DetailUrl(market, orderNumber), cookie);
        if (detail.error == QNetworkReply::RemoteHostClosedError) {
            ++dropped;
        } else if (detail.status == 503) {
            QVERIFY(!DecodeAnsi(detail.body).contains(kMarker));
            ++busy;
        } else {
            QCOMPARE(detail.status, 200);
            QVERIFY(DecodeAnsi(detail.body).contains(kMarker));
            ++complete;
        }
    }
    QCOMPARE(complete + dropped + busy, 60);
    QVERIFY2(complete > 10 && dropped > 3 && busy > 3,
        qPrintable(QStringLiteral("%1 %2 %3").arg(complete).arg(dropped).arg(busy)));
}

void TestDemoMarket::latencyApplies()
{
    testsupport::DemoMarket market({ QStringLiteral("--latency-ms"), QStringLiteral("400") });
    QVERIFY(market.ok());
    const QByteArray cookie = LogIn(manager_, market);
    const QString orderNumber = FirstOrderNumber(manager_, market, cookie);
    QElapsedTimer timer;
    timer.start();
    const Fetched detail = Fetch(manager_, DetailUrl(market, orderNumber), cookie);
    QVERIFY(timer.elapsed() >= 400);
    QVERIFY(DecodeAnsi(detail.body).contains(kMarker));
}

void TestDemoMarket::sameSeedSameShop()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto dump = [&dir](const QString& seed, const QString& name) {
        const QString path = dir.filePath(name);
        testsupport::DemoMarket market(
            { QStringLiteral("--seed"), seed, QStringLiteral("--dump-truth"), path });
        if (!market.ok())
            return QByteArray();
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray first = dump(QStringLiteral("77"), QStringLiteral("a.json"));
    const QByteArray again = dump(QStringLiteral("77"), QStringLiteral("b.json"));
    const QByteArray other = dump(QStringLiteral("78"), QStringLiteral("c.json"));
    QVERIFY(first.contains("\"orderNumber\""));
    QCOMPARE(again, first);
    QVERIFY(other != first);
}

void TestDemoMarket::downloadPageShowsVersion()
{
    testsupport::DemoMarket market({ QStringLiteral("--version"), QStringLiteral("2.10") });
    QVERIFY(market.ok());
    const Fetched page = Fetch(manager_, market.url(QStringLiteral("/download?ID=58&Time=1:2:3")));
    QCOMPARE(page.status, 200);
    QVERIFY(QString::fromUtf8(page.body).contains(
        QStringLiteral("<title>Lumetra交易数据提取软件(2.10)</title>")));
}

void TestDemoMarket::badOptionsAreRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("fail rate above one")
        << QStringList { QStringLiteral("--fail-rate"), QStringLiteral("1.5") };
    QTest::newRow("negative latency") << QStringList { QStringLiteral("--latency-ms"), QStringLiteral("-1") };
    QTest::newRow("pages not a number") << QStringList { QStringLiteral("--pages"), QStringLiteral("x") };
    QTest::newRow("unknown option") << QStringList { QStringLiteral("--colour") };
    QTest::newRow("negative virtual-every")
        << QStringList { QStringLiteral("--virtual-every"), QStringLiteral("-3") };
    QTest::newRow("unknown mutation family")
        << QStringList { QStringLiteral("--mutate"), QStringLiteral("5:most") };
    QTest::newRow("unwritable truth")
        << QStringList { QStringLiteral("--dump-truth"), QStringLiteral("/proc/nope/x.json") };
}

void TestDemoMarket::badOptionsAreRefused()
{
    QFETCH(QStringList, arguments);
    QProcess process;
    process.start(qEnvironmentVariable("LUMETRA_DEMO_MARKET"),
        QStringList { QStringLiteral("--port"), QStringLiteral("0") } + arguments);
    QVERIFY(process.waitForFinished(10000));
    QVERIFY(process.exitCode() != 0);
    QVERIFY(process.readAllStandardOutput().isEmpty());
    QVERIFY(!process.readAllStandardError().isEmpty());
}

LUMETRA_TEST_GUILESS_MAIN(TestDemoMarket)
#include "TestDemoMarket.moc"

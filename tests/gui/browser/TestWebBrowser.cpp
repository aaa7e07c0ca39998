// The embedded browser offscreen, on pages served from loopback: the
// serialized HTML form, link finding and clicking, scrolling, and cookies
// shared with the page fetches.

#include "core/base/EventWait.h"
#include "core/downloads/DetailDownloadPass.h"
#include "core/grid/TradeGrid.h"
#include "core/network/HttpGetPage.h"
#include "core/network/PageAccess.h"
#include "core/network/PageFetcher.h"
#include "core/network/SharedCookieJar.h"
#include "core/session/Commands.h"
#include "core/session/RunContext.h"
#include "gui/browser/BrowserProfile.h"
#include "gui/browser/WebBrowser.h"
#include "gui/window/BrowserLoadWatch.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"

#include <QNetworkCookie>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <memory>

using testweb::HttpResponse;
using testweb::LocalHttpServer;

namespace {

const QByteArray kListPage = R"HTML(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>list</title></head>
<body>
<div class="user-nick">卖家小店</div>
<table id="J_ListTable" class="list">
<tbody>
<tr class="sep"><td colspan="2">订单编号：1001 成交时间：2024-01-02 10:00</td></tr>
<tr><td title='a "quoted" &amp; title'>A &lt;b&gt; &amp; c&nbsp;d</td><td>x<br>y<img src="i.png"></td></tr>
</tbody>
</table>
<span>下一页</span>
<a href="/last"> 下一页</a>
<a href="/last"><b>下一页</b></a>
<a href="/last?p=2">下一页</a>
<a href="/last?p=3" target="_blank">详情</a>
</body></html>
)HTML";

const QString kListTableHtml = QStringLiteral(
    "\r\n<TBODY>\r\n"
    "<TR class=\"sep\"><TD colspan=\"2\">订单编号：1001 成交时间：2024-01-02 10:00</TD></TR>\r\n"
    "<TR><TD title=\"a &quot;quoted&quot; &amp; title\">A &lt;b&gt; &amp; c&nbsp;d</TD>"
    "<TD>x<BR>y<IMG src=\"i.png\"></TD></TR>\r\n"
    "</TBODY>\r\n");

const QByteArray kLastPage = R"HTML(<html><head><meta charset="utf-8"></head><body>
<a class="page-next disabled" href="/nowhere">下一页</a>
<a href="/nowhere">下一页</a>
</body></html>
)HTML";

// A sold-items table without trades whose "下一页" leads to %1.
const char* const kEmptyListPage = R"HTML(<html><head><meta charset="utf-8"></head><body>
<table id="J_ListTable"><tbody><tr><th>宝贝</th></tr><tr><td>没有符合条件的宝贝</td></tr></tbody></table>
<a href="%1">下一页</a>
</body></html>
)HTML";

const QByteArray kEmptyLastListPage = R"HTML(<html><head><meta charset="utf-8"></head><body>
<table id="J_ListTable"><tbody><tr><th>宝贝</th></tr><tr><td>没有符合条件的宝贝</td></tr></tbody></table>
<a class="disabled">下一页</a>
</body></html>
)HTML";

const QByteArray kTallPage = R"HTML(<html><body style="margin:0">
<div style="width:5000px;height:5000px">tall</div></body></html>)HTML";

} // namespace

class TestWebBrowser : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void profileIsPersistentUnderDataHome();
    void serializedTableHtml();
    void missingElementGivesEmptyText();
    void emptyBody();
    void findLinkWithoutClick();
    void findLinkMatchesTagAndTextExactly_data();
    void findLinkMatchesTagAndTextExactly();
    void findLinkAndClickLoadsNextPage();
    void disabledLinkIsNotClicked();
    void newWindowLinkOpensHere();
    void lateScriptNeverClicks();
    void walkTellsAPageThatDidNotOpen_data();
    void walkTellsAPageThatDidNotOpen();
    void scrollBy();
    void cookiesSharedWithPageFetch();
    void demoLoginThenDetailPage();

private:
    bool Load(const QString& address);
    QString CurrentPath() const { return browser_->url().path(); }

    std::unique_ptr<LocalHttpServer> server_;
    PageFetcher fetcher_;
    std::unique_ptr<BrowserProfile> profile_;
    std::unique_ptr<WebBrowser> browser_;
};

void TestWebBrowser::initTestCase()
{
    server_ = std::make_unique<LocalHttpServer>([](const QByteArray& target, const QByteArray& head) {
        if (target.startsWith("/list"))
            return HttpResponse(kListPage, "text/html; charset=utf-8");
        if (target.startsWith("/last"))
            return HttpResponse(kLastPage, "text/html; charset=utf-8");
        if (target.startsWith("/empty-list?next="))
            return HttpResponse(
                QString::fromUtf8(kEmptyListPage)
                    .arg(QUrl::fromPercentEncoding(target.mid(int(strlen("/empty-list?next=")))))
                    .toUtf8(),
                "text/html; charset=utf-8");
        if (target.startsWith("/empty-last"))
            return HttpResponse(kEmptyLastListPage, "text/html; charset=utf-8");
        if (target.startsWith("/tall"))
            return HttpResponse(kTallPage);
        if (target.startsWith("/set-cookie"))
            return HttpResponse("<html><body>welcome</body></html>", "text/html", 200,
                { "Set-Cookie: session=abc123; Path=/" });
        if (target.startsWith("/needs-cookie"))
            return HttpResponse(
                head.contains("Cookie: session=abc123") ? "detail >关于淘宝</a>" : "login page",
                "text/html; charset=utf-8");
        return HttpResponse("<html><body></body></html>");
    });
    profile_ = std::make_unique<BrowserProfile>(fetcher_);
    browser_ = std::make_unique<WebBrowser>(*profile_);
    browser_->resize(800, 600);
    browser_->show();
}

void TestWebBrowser::cleanupTestCase()
{
    browser_.reset();
    profile_.reset();
    server_.reset();
}

bool TestWebBrowser::Load(const QString& address)
{
    QSignalSpy finished(browser_.get(), &WebBrowser::DownloadComplete);
    browser_->Navigate2(address);
    return finished.wait(20000);
}

void TestWebBrowser::profileIsPersistentUnderDataHome()
{
    QWebEngineProfile* profile = profile_->Profile();
    QVERIFY(!profile->isOffTheRecord());
    QCOMPARE(profile->persistentCookiesPolicy(), QWebEngineProfile::ForcePersistentCookies);
    QVERIFY2(profile->persistentStoragePath().startsWith(qEnvironmentVariable("XDG_DATA_HOME") + u'/'),
        qPrintable(profile->persistentStoragePath()));
    QCOMPARE(browser_->page()->profile(), profile);
}

void TestWebBrowser::serializedTableHtml()
{
    const int before = server_->requestCount();
    QVERIFY(Load(server_->url("/list")));
    const QByteArray head = server_->heads().value(before); // asked for in Chinese
    QVERIFY2(head.startsWith("GET /list") && head.contains("\r\nAccept-Language: zh-CN"), head.constData());
    QCOMPARE(browser_->ElementInnerHtml(QStringLiteral("J_ListTable")), kListTableHtml);
    const QString body = GetBodyHtml(*browser_);
    QVERIFY(body.startsWith(
        QStringLiteral("\r\n<DIV class=\"user-nick\">卖家小店</DIV>\r\n<TABLE id=\"J_ListTable\"")));
    QVERIFY(body.contains(kListTableHtml + QStringLiteral("</TABLE>\r\n<SPAN>下一页</SPAN>")));
    QVERIFY(!body.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));
}

void TestWebBrowser::missingElementGivesEmptyText()
{
    QVERIFY(Load(server_->url("/list")));
    QCOMPARE(browser_->ElementInnerHtml(QStringLiteral("no-such-id")), QString());
    QCOMPARE(browser_->ElementInnerHtml(QStringLiteral("\"); throw 1; (\"")), QString());
}

void TestWebBrowser::emptyBody()
{
    QVERIFY(Load(server_->url("/empty")));
    QVERIFY(GetBodyHtml(*browser_).trimmed().isEmpty());
    QCOMPARE(FindLinkAndClick(*browser_, QStringLiteral("下一页"), true, QStringLiteral("A")), QString());
}

void TestWebBrowser::findLinkWithoutClick()
{
    QVERIFY(Load(server_->url("/list")));
    QSignalSpy started(browser_.get(), &QWebEngineView::loadStarted);
    QCOMPARE(FindLinkAndClick(*browser_, QStringLiteral("下一页"), false, QStringLiteral("A")),
        server_->url("/last?p=2"));
    QVERIFY(!started.wait(1000));
    QCOMPARE(CurrentPath(), QStringLiteral("/list"));
}

void TestWebBrowser::findLinkMatchesTagAndTextExactly_data()
{
    QTest::addColumn<QString>("linkText");
    QTest::addColumn<QString>("tagName");
    QTest::addColumn<QString>("expectedTarget");
    QTest::newRow("lower-case tag name") << QStringLiteral("下一页") << "a"
                                         << "/last?p=2";
    QTest::newRow("blank before the text") << QStringLiteral(" 下一页") << "A"
                                           << "/last";
    QTest::newRow("text wrapped in a tag") << QStringLiteral("<B>下一页</B>") << "A"
                                           << "/last";
    QTest::newRow("no such text") << QStringLiteral("上一页") << "A" << QString();
    QTest::newRow("element without href") << QStringLiteral("下一页") << "span" << QString();
}

void TestWebBrowser::findLinkMatchesTagAndTextExactly()
{
    QFETCH(QString, linkText);
    QFETCH(QString, tagName);
    QFETCH(QString, expectedTarget);
    if (CurrentPath() != QLatin1String("/list"))
        QVERIFY(Load(server_->url("/list")));
    const QString expected = expectedTarget.isEmpty() ? QString() : server_->url(expectedTarget);
    QCOMPARE(FindLinkAndClick(*browser_, linkText, false, tagName), expected);
}

void TestWebBrowser::findLinkAndClickLoadsNextPage()
{
    QVERIFY(Load(server_->url("/list")));
    QSignalSpy finished(browser_.get(), &WebBrowser::DownloadComplete);
    QCOMPARE(FindLinkAndClick(*browser_, QStringLiteral("下一页"), true, QStringLiteral("A")),
        server_->url("/last?p=2"));
    QVERIFY(finished.wait(20000));
    QCOMPARE(CurrentPath(), QStringLiteral("/last"));
    QVERIFY(browser_->BodyHtml().contains(QStringLiteral("<A class=\"page-next disabled\"")));
}

void TestWebBrowser::disabledLinkIsNotClicked()
{
    QVERIFY(Load(server_->url("/last")));
    QSignalSpy started(browser_.get(), &QWebEngineView::loadStarted);
    // Only the first match counts, even though a later one is enabled.
    QCOMPARE(FindLinkAndClick(*browser_, QStringLiteral("下一页"), true, QStringLiteral("A")), QString());
    QVERIFY(!started.wait(1000));
    QCOMPARE(CurrentPath(), QStringLiteral("/last"));
}

void TestWebBrowser::newWindowLinkOpensHere()
{
    QVERIFY(Load(server_->url("/list")));
    QSignalSpy finished(browser_.get(), &WebBrowser::DownloadComplete);
    QCOMPARE(FindLinkAndClick(*browser_, QStringLiteral("详情"), true, QStringLiteral("A")),
        server_->url("/last?p=3"));
    QVERIFY(finished.wait(20000));
    QCOMPARE(browser_->url().toString(), server_->url("/last?p=3"));
}

void TestWebBrowser::lateScriptNeverClicks()
{
    QVERIFY(Load(server_->url("/list")));
    // The page's own script holds the page up past our wait; ours runs after it.
    browser_->SetScriptTimeoutMs(300);
    browser_->page()->runJavaScript(QStringLiteral("var t = Date.now() + 2500; while (Date.now() < t) {}"));
    QSignalSpy started(browser_.get(), &QWebEngineView::loadStarted);
    const QString href = FindLinkAndClick(*browser_, QStringLiteral("下一页"), true, QStringLiteral("A"));
    browser_->SetScriptTimeoutMs(WebBrowser::kScriptTimeoutMs);
    QCOMPARE(href, QString());
    // Once the page is free again our script runs, and must not click.
    QVERIFY(!started.wait(3000));
    QCOMPARE(CurrentPath(), QStringLiteral("/list"));
}

void TestWebBrowser::walkTellsAPageThatDidNotOpen_data()
{
    QTest::addColumn<bool>("nextRefused");
    QTest::addColumn<WalkEnd>("end");
    QTest::addColumn<QString>("message");
    QTest::newRow("last page") << false << WalkEnd::LastPage << QString();
    QTest::newRow("next page refused")
        << true << WalkEnd::PageNotOpened << QStringLiteral("第2页无法打开，提取已停止，已提取0笔交易。");
}

void TestWebBrowser::walkTellsAPageThatDidNotOpen()
{
    QFETCH(bool, nextRefused);
    QFETCH(WalkEnd, end);
    QFETCH(QString, message);
    const QString next
        = nextRefused ? testsupport::RefusedBase() + QStringLiteral("/list") : server_->url("/empty-last");
    QVERIFY(Load(server_->url("/empty-list?next=") + QString::fromLatin1(QUrl::toPercentEncoding(next))));
    TradeGrid grid;
    BrowserLoadWatch watch(browser_.get());
    RunContext run;
    DetailDownloadPass pass;
    const WalkResult walk = ExtractAllPages(run, *browser_, grid, watch, pass, 20000);
    QCOMPARE(walk.end, end);
    QCOMPARE(walk.passes, 2);
    QCOMPARE(WalkEndMessage(walk), message);
}

void TestWebBrowser::scrollBy()
{
    QVERIFY(Load(server_->url("/tall")));
    browser_->ScrollBy(1000, 300);
    const bool scrolled = WaitUntil(
        [this] { return browser_->page()->scrollPosition().toPoint() == QPoint(1000, 300); }, 5000);
    QVERIFY2(scrolled,
        qPrintable(QStringLiteral("%1,%2")
                       .arg(browser_->page()->scrollPosition().x())
                       .arg(browser_->page()->scrollPosition().y())));
}

void TestWebBrowser::cookiesSharedWithPageFetch()
{
    QVERIFY(Load(server_->url("/set-cookie")));
    const QUrl site(server_->url("/"));
    QVERIFY(WaitUntil([&] { return !fetcher_.CookieJar().cookiesForUrl(site).isEmpty(); }, 10000));

    const int before = server_->requestCount();
    QVERIFY(HttpGetPage(fetcher_, server_->url("/needs-cookie"), QStringLiteral(">关于淘宝</"), 5).Arrived());
    // The browser may ask for things meanwhile (an icon); ours is the fetch.
    QByteArray head;
    for (qsizetype i = before; i < server_->heads().size(); ++i)
        if (server_->heads().at(i).startsWith("GET /needs-cookie"))
            head = server_->heads().at(i);
    QVERIFY(head.contains("\r\nCookie: session=abc123"));
    QVERIFY(head.contains("User-Agent: " + profile_->Profile()->httpUserAgent().toUtf8() + "\r\n"));

    // Another host name for the same server gets no cookie.
    const QString otherHost = QStringLiteral("http://localhost:%1/needs-cookie").arg(server_->port());
    QCOMPARE(
        HttpGetPageOnce(fetcher_, otherHost, QStringLiteral(">关于淘宝</"), 5).status, FetchStatus::Failed);

    // A cookie the browser drops is dropped from the fetches too.
    profile_->Profile()->cookieStore()->deleteAllCookies();
    QVERIFY(WaitUntil([&] { return fetcher_.CookieJar().cookiesForUrl(site).isEmpty(); }, 10000));
}

void TestWebBrowser::demoLoginThenDetailPage()
{
    testsupport::DemoMarket market;
    if (!market.ok())
        SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
    const QString backOffice = market.url(QStringLiteral("/seller_admin.htm"));
    QVERIFY(Load(market.url(QStringLiteral("/member/login.jhtml?redirectURL="))
        + QString::fromUtf8(QUrl::toPercentEncoding(backOffice))));

    // Fill every text field of the login form and submit it, as a user would.
    QSignalSpy finished(browser_.get(), &WebBrowser::DownloadComplete);
    browser_->page()->runJavaScript(QStringLiteral(
        "var f = document.forms[0];"
        "for (var i of f.querySelectorAll('input')) {"
        "  if (i.type === 'text' || i.type === 'password' || i.type === '') i.value = 'seller'; }"
        "if (f.requestSubmit) f.requestSubmit(); else f.submit();"));
    QVERIFY(finished.wait(20000));
    const QUrl site(market.base() + QStringLiteral("/"));
    QVERIFY(WaitUntil([&] { return !fetcher_.CookieJar().cookiesForUrl(site).isEmpty(); }, 10000));

    QVERIFY(Load(market.url(QStringLiteral("/trade/itemlist/list_sold_items.htm?page=1"))));
    const QString table = browser_->ElementInnerHtml(QStringLiteral("J_ListTable"));
    QVERIFY(table.contains(QLatin1String("<TBODY")));
    QVERIFY(table.contains(QLatin1String("</TD>\r\n")) || table.contains(QLatin1String("</TR>\r\n")));
    const QRegularExpressionMatch order
        = QRegularExpression(QStringLiteral("bizOrderId=(\\d+)")).match(table);
    QVERIFY(order.hasMatch());

    const QString detail
        = market.url(QStringLiteral("/trade/detail/trade_item_detail.htm?bizOrderId=")) + order.captured(1);
    const FetchResult page = HttpGetPage(fetcher_, detail, QStringLiteral(">关于淘宝</"), 10);
    QVERIFY(page.Arrived());
    QVERIFY(page.body->contains(QStringLiteral("收货和物流信息")));
}

LUMETRA_TEST_MAIN(TestWebBrowser)
#include "TestWebBrowser.moc"

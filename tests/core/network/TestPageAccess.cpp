// The page-access operations on a page fed from strings.

#include "core/network/BrowserPage.h"
#include "core/network/PageAccess.h"
#include "support/TestSupport.h"

namespace {

class StringPage : public BrowserPage {
public:
    QString body;
    QString href;
    int findCalls = 0;
    QString lastLinkText, lastTagName;
    bool lastClick = false;

    QString ElementInnerHtml(const QString&) override { return QString(); }
    QString BodyHtml() override { return body; }
    QString FindLinkInPage(const QString& linkText, bool click, const QString& tagName) override
    {
        ++findCalls;
        lastLinkText = linkText;
        lastClick = click;
        lastTagName = tagName;
        return href;
    }
    void ScrollBy(int, int) override { }
};

} // namespace

class TestPageAccess : public QObject {
    Q_OBJECT
private slots:
    void bodyHtml_data();
    void bodyHtml();
    void findLinkAndClick_data();
    void findLinkAndClick();
};

void TestPageAccess::bodyHtml_data()
{
    QTest::addColumn<QString>("body");
    QTest::newRow("page") << QStringLiteral("<DIV class=\"user-nick\">卖家</DIV>\r\n");
    QTest::newRow("empty") << QString();
}

void TestPageAccess::bodyHtml()
{
    QFETCH(QString, body);
    StringPage page;
    page.body = body;
    QCOMPARE(GetBodyHtml(page), body);
}

void TestPageAccess::findLinkAndClick_data()
{
    QTest::addColumn<QString>("linkText");
    QTest::addColumn<bool>("click");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("expectedCalls");
    QTest::newRow("empty text never reaches the page") << QString() << true << QString() << 0;
    QTest::newRow("link, click") << QStringLiteral("下一页") << true << QStringLiteral("http://h/list?page=2")
                                 << 1;
    QTest::newRow("link, no click") << QStringLiteral("下一页") << false
                                    << QStringLiteral("http://h/list?page=2") << 1;
}

void TestPageAccess::findLinkAndClick()
{
    QFETCH(QString, linkText);
    QFETCH(bool, click);
    QFETCH(QString, expected);
    QFETCH(int, expectedCalls);
    StringPage page;
    page.href = QStringLiteral("http://h/list?page=2");
    QCOMPARE(FindLinkAndClick(page, linkText, click, QStringLiteral("a")), expected);
    QCOMPARE(page.findCalls, expectedCalls);
    if (expectedCalls > 0) {
        QCOMPARE(page.lastLinkText, linkText);
        QCOMPARE(page.lastClick, click);
        QCOMPARE(page.lastTagName, QStringLiteral("a"));
    }
}

LUMETRA_TEST_GUILESS_MAIN(TestPageAccess)
#include "TestPageAccess.moc"

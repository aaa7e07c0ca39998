// The page-access operations on a page fed from strings.

#include "core/network/BrowserPage.h"
#include "core/network/PageAccess.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

using standin::ScriptedPage;

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
    ScriptedPage page;
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
    ScriptedPage page;
    page.findLink
        = [](const QString&, bool, const QString&) { return QStringLiteral("http://h/list?page=2"); };
    QCOMPARE(FindLinkAndClick(page, linkText, click, QStringLiteral("a")), expected);
    QCOMPARE(page.linkQueries.size(), expectedCalls);
    if (expectedCalls > 0) {
        QCOMPARE(page.linkQueries.first(), linkText + QStringLiteral("|a"));
        QCOMPARE(page.lastClick, click);
    }
}

LUMETRA_TEST_GUILESS_MAIN(TestPageAccess)
#include "TestPageAccess.moc"

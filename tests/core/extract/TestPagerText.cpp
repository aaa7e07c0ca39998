#include "core/extract/PagerText.h"
#include "support/TestSupport.h"

class TestPagerText : public QObject {
    Q_OBJECT
private slots:
    void pagesLeft_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<int>("pagesLeft"); // -1: no pager
        QTest::newRow("demo pager, first page") << "<SPAN class=\"page-cur\">第 1 页 / 共 4 页</SPAN>" << 4;
        QTest::newRow("demo pager, second page") << "<SPAN class=\"page-cur\">第 2 页 / 共 4 页</SPAN>" << 3;
        QTest::newRow("last page") << "第 4 页 / 共 4 页" << 1;
        QTest::newRow("numbers in their own tags")
            << "第<EM>3</EM>页&nbsp;/&nbsp;共<B class=\"total\">\r\n12</B>页" << 10;
        QTest::newRow("no blanks, no slash") << "第7页共9页" << 3;
        QTest::newRow("first pager of two") << "第 2 页 / 共 5 页 … 第 9 页 / 共 9 页" << 4;
        QTest::newRow("no pager") << "<A href=\"?page=2\">下一页</A>" << -1;
        QTest::newRow("count missing") << "第 2 页" << -1;
        QTest::newRow("page past the count") << "第 5 页 / 共 4 页" << -1;
        QTest::newRow("page zero") << "第 0 页 / 共 4 页" << -1;
        QTest::newRow("not numbers") << "第 二 页 / 共 四 页" << -1;
    }
    void pagesLeft()
    {
        QFETCH(QString, html);
        QFETCH(int, pagesLeft);
        const std::optional<int> left = PagesLeftFromHtml(html);
        QCOMPARE(left.value_or(-1), pagesLeft);
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestPagerText)
#include "TestPagerText.moc"

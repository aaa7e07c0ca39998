#include "core/layout/WindowPlacement.h"
#include "support/TestSupport.h"

class TestWindowPlacement : public QObject {
    Q_OBJECT
private slots:
    void readsStoredText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QRect>("normal");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("normal") << "120,80,1600,900,0" << true << QRect(120, 80, 1600, 900) << false;
        QTest::newRow("maximised, left screen")
            << "-1800, 40, 1700, 950, 1" << true << QRect(-1800, 40, 1700, 950) << true;
        QTest::newRow("nothing stored") << "" << false << QRect() << false;
        QTest::newRow("four numbers") << "1,2,3,4" << false << QRect() << false;
        QTest::newRow("not a number") << "1,2,wide,4,0" << false << QRect() << false;
        QTest::newRow("no width") << "1,2,0,4,0" << false << QRect() << false;
        QTest::newRow("state not 0 or 1") << "1,2,3,4,2" << false << QRect() << false;
    }
    void readsStoredText()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QRect, normal);
        QFETCH(bool, maximized);
        const std::optional<WindowPlacement> placement = WindowPlacementFromText(text);
        QCOMPARE(placement.has_value(), valid);
        if (!valid)
            return;
        QCOMPARE(placement->normal, normal);
        QCOMPARE(placement->maximized, maximized);
        QCOMPARE(WindowPlacementFromText(WindowPlacementText(*placement)), placement);
    }

    void firstStartSize_data()
    {
        QTest::addColumn<QSize>("workArea");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("full HD, task bar below") << QSize(1920, 1040) << QSize(1728, 936);
        QTest::newRow("laptop: the minimum width wins") << QSize(1200, 760) << QSize(1100, 684);
        QTest::newRow("screen smaller than the minimum") << QSize(1024, 500) << QSize(1024, 500);
    }
    void firstStartSize()
    {
        QFETCH(QSize, workArea);
        QFETCH(QSize, expected);
        QCOMPARE(FirstStartSize(workArea, QSize(1100, 544)), expected);
    }

    void keptOnScreen_data()
    {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("workArea");
        QTest::addColumn<QRect>("expected");
        const QRect fullHd(0, 0, 1920, 1040);
        QTest::newRow("inside stays") << QRect(100, 50, 1200, 800) << fullHd << QRect(100, 50, 1200, 800);
        QTest::newRow("monitor on the right unplugged")
            << QRect(2500, 100, 1200, 800) << fullHd << QRect(720, 100, 1200, 800);
        QTest::newRow("above and left of the screen")
            << QRect(-300, -40, 1200, 800) << fullHd << QRect(0, 0, 1200, 800);
        QTest::newRow("from a larger screen: shrunk, never below the minimum")
            << QRect(200, 100, 2500, 1400) << QRect(0, 0, 1366, 728) << QRect(0, 0, 1366, 728);
        QTest::newRow("work area not at the origin")
            << QRect(0, 0, 1200, 800) << QRect(60, 30, 1860, 1050) << QRect(60, 30, 1200, 800);
        QTest::newRow("minimum wider than the screen")
            << QRect(300, 0, 1100, 600) << QRect(0, 0, 1024, 768) << QRect(0, 0, 1100, 600);
    }
    void keptOnScreen()
    {
        QFETCH(QRect, stored);
        QFETCH(QRect, workArea);
        QFETCH(QRect, expected);
        QCOMPARE(KeptOnScreen(stored, workArea, QSize(1100, 544)), expected);
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestWindowPlacement)
#include "TestWindowPlacement.moc"

#include "support/TestSupport.h"

#include "gui/base/Twips.h"
#include "gui/window/WorkArea.h"

#include <QScreen>
#include <QWidget>

class TestWorkArea : public QObject {
    Q_OBJECT
private slots:
    void taskbarHeight_data();
    void taskbarHeight();
    void centredTopLeft_data();
    void centredTopLeft();
    void offscreenHasNoStrip();
    void centresAWindowKeepingItsSize();
};

void TestWorkArea::taskbarHeight_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<double>("twipsPerPixel");
    QTest::addColumn<int>("twips");

    const QRect screen(0, 0, 1920, 1080);
    QTest::newRow("task bar at the bottom") << screen << QRect(0, 0, 1920, 1040) << 15.0 << 600;
    QTest::newRow("task bar at the top") << screen << QRect(0, 40, 1920, 1040) << 15.0 << 0;
    QTest::newRow("task bar at the left") << screen << QRect(60, 0, 1860, 1080) << 15.0 << 0;
    QTest::newRow("no task bar") << screen << screen << 15.0 << 0;
    QTest::newRow("second screen origin")
        << QRect(1920, 100, 1280, 1024) << QRect(1920, 100, 1280, 994) << 15.0 << 450;
    QTest::newRow("120 dpi") << screen << QRect(0, 0, 1920, 1032) << 12.0 << 576;
    QTest::newRow("half goes down to even") << screen << QRect(0, 0, 1920, 1079) << 12.5 << 12;
    QTest::newRow("half goes up to even") << screen << QRect(0, 0, 1920, 1077) << 12.5 << 38;
}

void TestWorkArea::taskbarHeight()
{
    QFETCH(QRect, screen);
    QFETCH(QRect, workArea);
    QFETCH(double, twipsPerPixel);
    QFETCH(int, twips);
    QCOMPARE(TaskbarHeightTwips(screen, workArea, twipsPerPixel), twips);
}

void TestWorkArea::centredTopLeft_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<int>("taskbarTwips");
    QTest::addColumn<QPoint>("topLeft");

    const QRect screen(0, 0, 1920, 1080);
    QTest::newRow("whole screen") << screen << QSize(581, 48) << 0 << QPoint(670, 516);
    QTest::newRow("above a 40 px task bar") << screen << QSize(581, 48) << 600 << QPoint(670, 496);
    QTest::newRow("window as large as the screen") << screen << QSize(1920, 1080) << 0 << QPoint(0, 0);
    QTest::newRow("window larger than the screen") << screen << QSize(2000, 1200) << 0 << QPoint(-40, -60);
    QTest::newRow("screen not at the origin")
        << QRect(1920, 0, 1280, 1024) << QSize(200, 100) << 450 << QPoint(1920 + 540, 447);
}

void TestWorkArea::centredTopLeft()
{
    QFETCH(QRect, screen);
    QFETCH(QSize, window);
    QFETCH(int, taskbarTwips);
    QFETCH(QPoint, topLeft);
    QCOMPARE(CenteredTopLeft(screen, window, taskbarTwips, 15.0), topLeft);
}

void TestWorkArea::offscreenHasNoStrip()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    QVERIFY(screen);
    QCOMPARE(GetTaskbarHeight(),
        TaskbarHeightTwips(screen->geometry(), screen->availableGeometry(), TwipsPerPixel()));
    if (screen->geometry() == screen->availableGeometry())
        QCOMPARE(GetTaskbarHeight(), 0);
}

void TestWorkArea::centresAWindowKeepingItsSize()
{
    QWidget window;
    window.resize(300, 120);
    window.move(3, 4);
    CenterOnWorkArea(&window);
    QCOMPARE(window.size(), QSize(300, 120));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(window.pos(), CenteredTopLeft(screen, window.size(), GetTaskbarHeight(), TwipsPerPixel()));
    QVERIFY(window.pos() != QPoint(3, 4));
}

LUMETRA_TEST_MAIN(TestWorkArea)
#include "TestWorkArea.moc"

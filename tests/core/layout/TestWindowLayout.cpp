#include "core/layout/WindowLayout.h"
#include "support/TestSupport.h"

#include <QMap>

Q_DECLARE_METATYPE(TwipsRect)

namespace {

// Settings as a map; absent keys give the caller's default.
LayoutSettingReader ReaderOf(const QMap<QString, QString>& stored)
{
    return [stored](const QString& key, const QString& defaultText) {
        return stored.contains(key) ? stored.value(key) : defaultText;
    };
}

MainWindowControls Start(int bar0Top, int bar1Left)
{
    MainWindowControls c = DesignControls();
    c.bar0.top = bar0Top;
    c.bar1.left = bar1Left;
    return c;
}

} // namespace

class TestWindowLayout : public QObject {
    Q_OBJECT
private slots:
    void storedFractionPlacesHorizontalBar_data();
    void storedFractionPlacesHorizontalBar();
    void storedFractionPlacesVerticalBar_data();
    void storedFractionPlacesVerticalBar();
    void nothingStoredKeepsFractionOnResize_data();
    void nothingStoredKeepsFractionOnResize();
    void sideBySideLayout();
    void verticalLayout();
    void tinyWindowKeepsRefusedSizes();
    void dragClamps_data();
    void dragClamps();
    void releaseStoresSinglePrecisionFraction_data();
    void releaseStoresSinglePrecisionFraction();
};

void TestWindowLayout::storedFractionPlacesHorizontalBar_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("expectedTop");
    QTest::newRow("0.99 of 9000 stops 800 short") << "0.99" << 9000 << 8200;
    QTest::newRow("0 goes to the minimum") << "0" << 9000 << 400;
    QTest::newRow("half") << "0.5" << 9000 << 4500;
    QTest::newRow("not a number reads as 0") << "abc" << 9000 << 400;
    QTest::newRow("leading number with tail") << "0.25xyz" << 8000 << 2000;
    QTest::newRow("minimum wins in a tiny window") << "0.5" << 1000 << 400;
    QTest::newRow("negative fraction") << "-0.3" << 9000 << 400;
}

void TestWindowLayout::storedFractionPlacesHorizontalBar()
{
    QFETCH(QString, stored);
    QFETCH(int, height);
    QFETCH(int, expectedTop);
    const auto c = LayOutMainWindow(
        12000, height, false, Start(2880, 3240), ReaderOf({ { QStringLiteral("Split_Top_0"), stored } }));
    QCOMPARE(c.bar0.top, expectedTop);
    // Grid above the bar, browser right below it.
    QCOMPARE(c.grid.top + c.grid.height, expectedTop);
    QCOMPARE(c.browser.top, expectedTop + kSplitterThickness);
}

void TestWindowLayout::storedFractionPlacesVerticalBar_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("expectedLeft");
    QTest::newRow("0.99 of 12000") << "0.99" << 12000 << 11200;
    QTest::newRow("0") << "0" << 12000 << 400;
    QTest::newRow("0.3529412 of 12000") << "0.3529412" << 12000 << 4235;
    QTest::newRow("empty text reads as 0") << "" << 12000 << 400;
    // Nothing stored (a null text): the grid's design share, 3240 of 12210.
    QTest::newRow("nothing stored, 90 % of 1920 pixels") << QString() << 25920 << 6878;
    QTest::newRow("nothing stored, narrow window") << QString() << 1200 << 400;
}

void TestWindowLayout::storedFractionPlacesVerticalBar()
{
    QFETCH(QString, stored);
    QFETCH(int, width);
    QFETCH(int, expectedLeft);
    const QString key = stored.isNull() ? QString() : QStringLiteral("Split_Top_1");
    const auto c = LayOutMainWindow(width, 9000, true, Start(2880, 3240), ReaderOf({ { key, stored } }));
    QCOMPARE(c.bar1.left, expectedLeft);
    QCOMPARE(c.grid.width, expectedLeft);
    QCOMPARE(c.browser.left, expectedLeft + kSplitterThickness);
}

void TestWindowLayout::nothingStoredKeepsFractionOnResize_data()
{
    QTest::addColumn<int>("newWidth");
    QTest::addColumn<int>("newHeight");
    QTest::newRow("larger") << 24000 << 18000;
    QTest::newRow("same") << 12000 << 9000;
    QTest::newRow("smaller") << 9000 << 6000;
}

void TestWindowLayout::nothingStoredKeepsFractionOnResize()
{
    QFETCH(int, newWidth);
    QFETCH(int, newHeight);
    // With nothing stored, each pass reads the bar's current fraction of the
    // window it now has, so a resize leaves the bar where it is.
    QStringList asked;
    const LayoutSettingReader nothingStored = [&](const QString& key, const QString& def) {
        asked << key + QLatin1Char('=') + def;
        return def;
    };
    const auto first = LayOutMainWindow(12000, 9000, true, Start(2250, 3000), nothingStored);
    QCOMPARE(first.bar0.top, 2250);
    QCOMPARE(asked.first(), QStringLiteral("Split_Top_0=0.25"));
    const auto resized = LayOutMainWindow(newWidth, newHeight, true, first, nothingStored);
    QCOMPARE(resized.bar0.top, 2250);
    // Once a fraction is stored, the bar follows the window size.
    const auto stored = LayOutMainWindow(newWidth, newHeight, true, first,
        ReaderOf({ { QStringLiteral("Split_Top_0"), QStringLiteral("0.25") },
            { QStringLiteral("Split_Top_1"), QStringLiteral("0.25") } }));
    QCOMPARE(stored.bar0.top, newHeight / 4);
    QCOMPARE(stored.bar1.left, newWidth / 4);
}

void TestWindowLayout::sideBySideLayout()
{
    const auto c = LayOutMainWindow(12000, 9000, true, DesignControls(),
        ReaderOf({ { QStringLiteral("Split_Top_1"), QStringLiteral("0.4") } }));
    QCOMPARE(c.grid, (TwipsRect { 0, 360, 4800, 9000 - 360 - 600 }));
    QCOMPARE(c.bar1, (TwipsRect { 4800, 360, 45, 8040 }));
    QCOMPARE(c.browser, (TwipsRect { 4845, 360, 12000 - 4845 - 150, 8040 }));
    QCOMPARE(c.browser.top, c.grid.top);
    QCOMPARE(c.browser.height, c.grid.height);
    QVERIFY(c.bar1Visible);
    QVERIFY(!c.bar0Visible);
}

void TestWindowLayout::verticalLayout()
{
    const auto c = LayOutMainWindow(12000, 9000, false, DesignControls(),
        ReaderOf({ { QStringLiteral("Split_Top_0"), QStringLiteral("0.5") } }));
    QCOMPARE(c.grid, (TwipsRect { 0, 360, 12000 - 150, 4500 - 360 }));
    QCOMPARE(c.bar0, (TwipsRect { 0, 4500, 12000 - 150, 45 }));
    QCOMPARE(c.browser, (TwipsRect { 0, 4545, 12000 - 180, 9000 - 4545 - 500 }));
    QVERIFY(c.bar0Visible);
    QVERIFY(!c.bar1Visible);
    // Switching back restores the side-by-side shape.
    const auto back = LayOutMainWindow(12000, 9000, true, c, ReaderOf({}));
    QVERIFY(back.bar1Visible);
    QCOMPARE(back.browser.top, 360);
    QCOMPARE(back.grid.width, back.bar1.left);
}

void TestWindowLayout::tinyWindowKeepsRefusedSizes()
{
    // 300 twips high: the side-by-side grid height would be negative; the
    // toolkit refuses it, the old height stays and the pass goes on.
    const MainWindowControls start = DesignControls();
    const auto c = LayOutMainWindow(600, 300, true, start, ReaderOf({}));
    QCOMPARE(c.grid.height, start.grid.height);
    QCOMPARE(c.bar1.height, start.grid.height);
    QCOMPARE(c.bar1.left, 400);
    QCOMPARE(c.grid.width, 400);
    // Browser width 600 - 445 - 150 = 5 is fine.
    QCOMPARE(c.browser.width, 5);
    // A zero-size (minimised) window leaves the bars where they were before clamping.
    const auto zero = LayOutMainWindow(0, 0, true, start, ReaderOf({}));
    QCOMPARE(zero.bar0.top, 400);
    QCOMPARE(zero.bar1.left, 400);
}

void TestWindowLayout::dragClamps_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("mouse");
    QTest::addColumn<int>("origin");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("expected");
    QTest::newRow("inside") << 1 << 5000 << 1000 << 12000 << 3880;
    QTest::newRow("past the far edge") << 1 << 30000 << 1000 << 12000 << 12000 - 45 - 800;
    QTest::newRow("before the near edge") << 1 << 900 << 1000 << 12000 << 400;
    QTest::newRow("exactly at minimum") << 1 << 1520 << 1000 << 12000 << 400;
    QTest::newRow("window too small: maximum wins") << 1 << 5000 << 0 << 1000 << 1000 - 45 - 800;
    QTest::newRow("horizontal bar follows the height") << 0 << 5000 << 1000 << 9000 << 3880;
    QTest::newRow("horizontal bar past the bottom") << 0 << 30000 << 1000 << 9000 << 9000 - 45 - 800;
}

void TestWindowLayout::dragClamps()
{
    QFETCH(int, index);
    QFETCH(int, mouse);
    QFETCH(int, origin);
    QFETCH(int, size);
    QFETCH(int, expected);
    // The bar moves along its own axis only; the other bar stays.
    const MainWindowControls before = DesignControls();
    const TwipsRect frame
        = index != 0 ? TwipsRect { origin, -7000, size, 500 } : TwipsRect { -7000, origin, 500, size };
    const MainWindowControls after
        = DragBar(before, index, index != 0 ? mouse : 99999, index != 0 ? 99999 : mouse, frame);
    const TwipsRect& moved = index != 0 ? after.bar1 : after.bar0;
    QCOMPARE(index != 0 ? moved.left : moved.top, expected);
    QCOMPARE(index != 0 ? moved.top : moved.left, index != 0 ? before.bar1.top : before.bar0.left);
    QCOMPARE(index != 0 ? after.bar0 : after.bar1, index != 0 ? before.bar0 : before.bar1);
}

void TestWindowLayout::releaseStoresSinglePrecisionFraction_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("horizontal bar") << 0 << 3000 << 8500 << "Split_Top_0"
                                    << "0.3529412";
    QTest::newRow("vertical bar") << 1 << 3000 << 12000 << "Split_Top_1"
                                  << "0.25";
    QTest::newRow("any other index is the vertical bar") << 7 << 4000 << 12000 << "Split_Top_1"
                                                         << "0.3333333";
    QTest::newRow("zero-size window stores nothing") << 0 << 400 << 0 << "Split_Top_0"
                                                     << "";
}

void TestWindowLayout::releaseStoresSinglePrecisionFraction()
{
    QFETCH(int, index);
    QFETCH(int, position);
    QFETCH(int, size);
    QFETCH(QString, key);
    QFETCH(QString, text);
    // The bar 1 fraction is of the width, the bar 0 fraction of the height.
    MainWindowControls controls = DesignControls();
    controls.bar0.top = position;
    controls.bar1.left = position;
    const TwipsRect frame = index != 0 ? TwipsRect { 0, 0, size, 777 } : TwipsRect { 0, 0, 777, size };
    const SplitterSetting setting = ReleasedBarSetting(controls, index, frame);
    QCOMPARE(setting.key, key);
    QCOMPARE(setting.fraction, text);
    QVERIFY(IsVerticalBar(DesignControls().bar1));
    QVERIFY(!IsVerticalBar(DesignControls().bar0));
}

LUMETRA_TEST_GUILESS_MAIN(TestWindowLayout)
#include "TestWindowLayout.moc"

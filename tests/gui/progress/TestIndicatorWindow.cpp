#include "support/TestSupport.h"

#include "core/progress/Progress.h"
#include "gui/progress/IndicatorForm.h"
#include "gui/progress/IndicatorWindow.h"
#include "gui/base/Twips.h"
#include "gui/window/WorkArea.h"

#include <QPointer>
#include <QScreen>

class TestIndicatorWindow : public QObject {
    Q_OBJECT
private slots:

    void loadsHiddenWithDesignTexts();
    void layout_data();
    void layout();
    void appearance();
    void centredOnTheWorkArea();
    void startShowsItModelessWithoutOwner();
    void barOnlyGrows();
    void barIsPaintedBlue();
    void longMessageIsShownWhole();
    void userClosingUnloadsIt();
    void closeProgressUnloadsIt();
};

void TestIndicatorWindow::loadsHiddenWithDesignTexts()
{
    IndicatorWindow indicator;
    QVERIFY(!indicator.IsLoaded());
    QVERIFY(!indicator.Form());
    indicator.Load();
    QVERIFY(indicator.IsLoaded());
    IndicatorForm* form = indicator.Form();
    QVERIFY(form);
    QVERIFY(!form->isVisible());
    QCOMPARE(form->windowTitle(), QStringLiteral("进度指示器"));
    QCOMPARE(form->LBL->text(), QStringLiteral("进度条指示器"));
    QCOMPARE(form->L1->text(), QString());
    QCOMPARE(form->Percent->text(), QStringLiteral("0%"));
    QCOMPARE(form->L2->text(), QString());
    QCOMPARE(form->Pic->PaintedWidth(), 0);
    indicator.Load(); // loading a loaded window changes nothing
    QCOMPARE(indicator.Form(), form);
}

void TestIndicatorWindow::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");

    QTest::newRow("LBL") << "LBL" << QRect(75, 105, 1080, 180);
    QTest::newRow("L1") << "L1" << QRect(2850, 105, 5805, 255);
    QTest::newRow("Pic") << "Pic" << QRect(60, 360, 8580, 285);
    QTest::newRow("Percent") << "Percent" << QRect(-60, 0, 8565, 270);
    QTest::newRow("L2") << "L2" << QRect(45, 0, 8505, 405);
}

void TestIndicatorWindow::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    IndicatorWindow indicator;
    indicator.Load();
    QCOMPARE(indicator.Form()->size(), QSize(TwipsToPixels(8715), TwipsToPixels(720)));
    const QWidget* control = indicator.Form()->findChild<QWidget*>(name);
    QVERIFY(control);
    const QRect expected(TwipsToPixels(twips.x()), TwipsToPixels(twips.y()), TwipsToPixels(twips.width()),
        TwipsToPixels(twips.height()));
    QCOMPARE(control->geometry(), expected);
    if (name == QLatin1String("Percent") || name == QLatin1String("L2"))
        QCOMPARE(control->parentWidget(), indicator.Form()->Pic);
}

void TestIndicatorWindow::appearance()
{
    IndicatorWindow indicator;
    indicator.Load();
    const IndicatorForm* form = indicator.Form();
    QCOMPARE(form->LBL->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(form->L1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(form->Percent->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(form->L2->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    QVERIFY(form->L1->alignment() & Qt::AlignRight);
    QVERIFY(form->L2->alignment() & Qt::AlignRight);
    QVERIFY(form->Percent->alignment() & Qt::AlignHCenter);
    QVERIFY(form->Percent->font().bold());
    QCOMPARE(form->Percent->font().pointSize(), 12);
    for (const QLabel* label : { form->LBL, form->L1, form->Percent, form->L2 })
        QVERIFY(!label->autoFillBackground());
}

void TestIndicatorWindow::centredOnTheWorkArea()
{
    IndicatorWindow indicator;
    indicator.Load();
    const QScreen* screen = QGuiApplication::primaryScreen();
    QVERIFY(screen);
    const QPoint expected
        = CenteredTopLeft(screen->geometry(), indicator.Form()->size(), GetTaskbarHeight(), TwipsPerPixel());
    QCOMPARE(indicator.Form()->pos(), expected);
    // Offscreen the work area is the whole screen: plainly centred.
    const QRect s = screen->geometry();
    QVERIFY(qAbs(indicator.Form()->x() - (s.x() + (s.width() - indicator.Form()->width()) / 2)) <= 1);
}

void TestIndicatorWindow::startShowsItModelessWithoutOwner()
{
    IndicatorWindow indicator;
    Progress progress;
    progress.SetView(&indicator);
    QVERIFY(!ProgressWindowOpen(progress));
    StartProgress(progress, QStringLiteral("正在导出数据至CSV格式文件……"), 3, 0);
    QVERIFY(ProgressWindowOpen(progress));
    IndicatorForm* form = indicator.Form();
    QVERIFY(form->isVisible());
    QVERIFY(form->isWindow());
    QVERIFY(!form->parentWidget());
    QCOMPARE(form->windowModality(), Qt::NonModal);
    QCOMPARE(form->LBL->text(), QStringLiteral("正在导出数据至CSV格式文件……"));

    StepProgress(progress, 1, ProgressPagesMode());
    QCOMPARE(form->Percent->text(), QStringLiteral("33.3%"));
    QCOMPARE(form->L1->text(), QStringLiteral("(1/3)"));
    QVERIFY(form->L2->text().count(QLatin1Char('/')) == 2);
    QCOMPARE(form->Pic->PaintedWidth(), qRound(form->Pic->width() / 3.0));
}

void TestIndicatorWindow::barOnlyGrows()
{
    IndicatorWindow indicator;
    indicator.Load();
    const BarPicture* bar = indicator.Form()->Pic;
    const int width = bar->width();
    indicator.PaintBar(0.5);
    QCOMPARE(bar->PaintedWidth(), qRound(width * 0.5));
    indicator.PaintBar(0.25);
    QCOMPARE(bar->PaintedWidth(), qRound(width * 0.5));
    indicator.PaintBar(-1);
    QCOMPARE(bar->PaintedWidth(), qRound(width * 0.5));
    indicator.PaintBar(1.5);
    QCOMPARE(bar->PaintedWidth(), width);
    indicator.ClearBar();
    QCOMPARE(bar->PaintedWidth(), 0);
    indicator.PaintBar(0.1);
    QCOMPARE(bar->PaintedWidth(), qRound(width * 0.1));
}

void TestIndicatorWindow::barIsPaintedBlue()
{
    IndicatorWindow indicator;
    indicator.Show();
    indicator.PaintBar(0.5);
    BarPicture* bar = indicator.Form()->Pic;
    const QImage image = bar->grab().toImage();
    const int y = image.height() - 1; // below the label texts
    const QColor background = bar->palette().color(QPalette::Window);
    QCOMPARE(QColor(image.pixel(image.width() / 4, y)), QColor(0, 0, 255));
    QCOMPARE(QColor(image.pixel(image.width() * 3 / 4, y)), background);
    indicator.ClearBar();
    QCOMPARE(QColor(bar->grab().toImage().pixel(image.width() / 4, y)), background);
}

void TestIndicatorWindow::longMessageIsShownWhole()
{
    IndicatorWindow indicator;
    indicator.Load();
    IndicatorForm* form = indicator.Form();
    const int designWidth = form->LBL->width();
    indicator.SetMessage(QStringLiteral("正在查找并清除关闭的交易..."));
    QVERIFY(form->LBL->width() > designWidth);
    QVERIFY(form->LBL->geometry().right() < form->width());
    QCOMPARE(form->LBL->text(), QStringLiteral("正在查找并清除关闭的交易..."));
}

void TestIndicatorWindow::userClosingUnloadsIt()
{
    IndicatorWindow indicator;
    Progress progress;
    progress.SetView(&indicator);
    StartProgress(progress, QStringLiteral("正在提取交易信息..."), 500, 0);
    StepProgress(progress, 1, ProgressPagesMode());
    QPointer<IndicatorForm> first = indicator.Form();
    QVERIFY(first->isVisible());

    QVERIFY(first->close()); // as the title bar's close button does
    QVERIFY(!ProgressWindowOpen(progress));
    QVERIFY(!indicator.Form());
    QVERIFY(!first->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());

    // A later step loads a fresh window, hidden, with its design texts.
    StepProgress(progress, 1, ProgressPagesMode());
    QVERIFY(ProgressWindowOpen(progress));
    IndicatorForm* second = indicator.Form();
    QVERIFY(second);
    QVERIFY(!second->isVisible());
    QCOMPARE(second->LBL->text(), QStringLiteral("进度条指示器"));
    QCOMPARE(second->L1->text(), QStringLiteral("(2/500)"));
    QCOMPARE(second->Percent->text(), QStringLiteral("0.4%"));
}

void TestIndicatorWindow::closeProgressUnloadsIt()
{
    IndicatorWindow indicator;
    Progress progress;
    progress.SetView(&indicator);
    StartProgress(progress, QStringLiteral("m"), 2, 0);
    QPointer<IndicatorForm> form = indicator.Form();
    CloseProgress(progress);
    QVERIFY(form.isNull());
    QVERIFY(!ProgressWindowOpen(progress));
    CloseProgress(progress); // on a closed window: nothing happens
    QVERIFY(!ProgressWindowOpen(progress));
    QVERIFY(!indicator.Form());

    // Starting again gives a fresh window with the design percentage.
    StartProgress(progress, QStringLiteral("again"), 2, 0);
    QVERIFY(indicator.Form()->isVisible());
    QCOMPARE(indicator.Form()->Percent->text(), QStringLiteral("0%"));
}

LUMETRA_TEST_MAIN(TestIndicatorWindow)
#include "TestIndicatorWindow.moc"

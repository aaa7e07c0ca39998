#include "core/base/Endpoints.h"
#include "core/base/UserPrompt.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/layout/WindowPlacement.h"
#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"
#include "core/session/RunContext.h"
#include "core/settings/SettingsStore.h"
#include "core/text/TextHelpers.h"
#include "core/trade/Finding.h"
#include "gui/base/Twips.h"
#include "gui/browser/BrowserProfile.h"
#include "gui/browser/WebBrowser.h"
#include "gui/grid/TradeGridView.h"
#include "gui/grid/WidgetTextMeasurer.h"
#include "gui/window/MainWindow.h"
#include "gui/window/SplitterBar.h"
#include "gui/window/WorkArea.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QString Stored(const QString& key)
{
    return GetRegSetting(QString::fromLatin1(kSettingsApp), QString::fromLatin1(kSettingsSection), key,
        QStringLiteral("<none>"));
}

void SendMouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    const QPointF local(2, 2);
    QMouseEvent event(type, local, target->mapToGlobal(local), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

// A control of the window, found by its object name.
template <typename Control> Control* Part(QWidget& window, const QString& name)
{
    Control* control = window.findChild<Control*>(name);
    if (!control)
        qFatal("no control %s", qPrintable(name));
    return control;
}

int TwipsOf(int pixels)
{
    return int(PixelsToTwips(pixels) + 0.5);
}

// Trades 1 … count as rows to ship, order numbers 70001 …, each to a
// recipient of its own but those in sameRecipient (one parcel), the
// trades in closed closed; every trade 19.9 yuan.
void FillTrades(
    TradeGrid& grid, int count, const QList<int>& sameRecipient = {}, const QList<int>& closed = {})
{
    SetUpTradeGrid(grid);
    for (int i = 1; i <= count; ++i) {
        const int row = grid.Rows();
        grid.SetRows(row + 1);
        grid.SetTextMatrix(row, ColSequence, QString::number(i));
        grid.SetTextMatrix(row, ColOrderNumber, QStringLiteral("7%1").arg(i, 4, 10, QLatin1Char('0')));
        grid.SetTextMatrix(row, ColTime, QStringLiteral("2026-12-08 09:00:00"));
        grid.SetTextMatrix(row, ColItem, QStringLiteral("围巾"));
        grid.SetTextMatrix(
            row, ColStatus, closed.contains(i) ? QStringLiteral("交易关闭") : QStringLiteral("买家已付款"));
        grid.SetTextMatrix(row, ColAmount, QStringLiteral("19.9"));
        grid.SetTextMatrix(row, ColRecipient,
            sameRecipient.contains(i) ? QStringLiteral("张三") : QStringLiteral("收件人%1").arg(i));
        grid.SetTextMatrix(row, ColAddress, QStringLiteral("文三路 1 号"));
    }
}

QString Order(int trade)
{
    return QStringLiteral("7%1").arg(trade, 4, 10, QLatin1Char('0'));
}

void StorePlacement(const QString& text)
{
    testsupport::StoreSetting(QString::fromLatin1(kWindowPlacementKey), text);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void topRowFitsTheWindow();
    void totalLabelShowsWhole_data();
    void totalLabelShowsWhole();
    void firstStartIsLargeAndCentred();
    void placementComesBack_data();
    void placementComesBack();
    void checkBoxSwitchesLayout();
    void draggingAndReleasingTheBar_data();
    void draggingAndReleasingTheBar();
    void moveWithoutLeftButtonDoesNothing();
    void closingEndsTheProgram();
    void commandLeavesTheFocusOnItsButton();
    void findingSelectsItsTradeVisibly();
    void findingsAndHeightsFollowTheGrid();

private:
    // A new run, which reads the settings as stored now (a next start).
    void StartNewRun();

    RecordingProgressView progress_;
    SilentPrompt prompt_;
    std::unique_ptr<WidgetTextMeasurer> measurer_;
    Endpoints endpoints_;
    std::unique_ptr<RunContext> run_;
    std::unique_ptr<BrowserProfile> profile_;
    std::unique_ptr<MainWindow> window_;
    int ended_ = 0;
};

void TestMainWindow::initTestCase()
{
    // Nothing to load and a refused update page: the window works offline.
    const QString refused = testsupport::RefusedBase();
    Endpoints e = DefaultEndpoints();
    e.startUrl = QStringLiteral("about:blank");
    e.updateUrl = refused + QStringLiteral("/download?ID=");
    e.tradeBase = refused;
    measurer_ = std::make_unique<WidgetTextMeasurer>(TradeGridFont());
    endpoints_ = e;
    StartNewRun();
}

void TestMainWindow::StartNewRun()
{
    window_.reset();
    profile_.reset();
    run_ = std::make_unique<RunContext>(RunServices { .prompt = &prompt_,
        .endpoints = endpoints_,
        .measurer = measurer_.get(),
        .progressView = &progress_ });
    profile_ = std::make_unique<BrowserProfile>(run_->fetcher);
}

void TestMainWindow::init()
{
    ended_ = 0;
    window_ = std::make_unique<MainWindow>(*run_, *profile_, WindowCollaborators { nullptr, nullptr, [this] { ++ended_; } });
    window_->move(100, 50);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void TestMainWindow::cleanup()
{
    window_.reset();
}

void TestMainWindow::topRowFitsTheWindow()
{
    QCOMPARE(window_->windowTitle(), QStringLiteral("Lumetra交易数据提取软件【C店版】2.00"));
    QCOMPARE(Part<QCheckBox>(*window_, u"Chk_0"_s)->text(), QStringLiteral("过滤关闭交易"));
    QCOMPARE(Part<QCheckBox>(*window_, u"Chk_1"_s)->text(), QStringLiteral("纵向布局"));
    window_->Run(Command::Clear);
    QCOMPARE(Part<QLabel>(*window_, u"total"_s)->text(), QStringLiteral("交易总额：0元"));
    // The total starts at its design left and is seen whole.
    QLabel* total = Part<QLabel>(*window_, u"total"_s);
    QCOMPARE(total->x(), TwipsToPixels(13200));
    QVERIFY2(total->geometry().right() < window_->width(), "the total label is cut off");
    QVERIFY(total->width() >= total->sizeHint().width());
    // The print button sits between the boxes and the total, overlapping neither.
    const QRect print = Part<QPushButton>(*window_, u"print"_s)->geometry();
    QVERIFY(print.left() > Part<QCheckBox>(*window_, u"Chk_1"_s)->geometry().right()
        && print.right() < total->x());
}

void TestMainWindow::totalLabelShowsWhole_data()
{
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QString>("caption");
    QTest::newRow("a busy year") << QStringList { "1234567.89" } << "交易总额：1234567.89元";
    QTest::newRow("fifteen digits") << QStringList { "888888888888888" } << "交易总额：888888888888888元";
    // Summed in cents: 37 × 19.9 added as numbers reads 736.299999999999.
    QTest::newRow("many amounts with cents")
        << QStringList(37, QStringLiteral("19.9")) << "交易总额：736.3元";
    QTest::newRow("refunds below zero, exponent")
        << QStringList { "-8.88888888888888E+300", "1" } << "交易总额：-8.88888888888888E+300元";
}

void TestMainWindow::totalLabelShowsWhole()
{
    QFETCH(QStringList, amounts);
    QFETCH(QString, caption);
    TradeGrid& grid = window_->Session().Grid();
    SetUpTradeGrid(grid);
    for (const QString& amount : amounts) {
        const int row = grid.Rows();
        grid.SetRows(row + 1);
        grid.SetTextMatrix(row, ColAmount, amount);
    }
    window_->Com_Click(99); // only refreshes the total
    QLabel* total = Part<QLabel>(*window_, u"total"_s);
    QCOMPARE(total->text(), caption);
    QVERIFY(total->width() >= total->sizeHint().width());
    QVERIFY2(window_->rect().contains(total->geometry()), "the total label is cut off");
    // Also at the smallest size the user can give the window.
    window_->resize(1, 1);
    QVERIFY2(window_->rect().contains(total->geometry()), "the total label is cut off");
}

void TestMainWindow::firstStartIsLargeAndCentred()
{
    StorePlacement(QString());
    StartNewRun();
    MainWindow fresh(*run_, *profile_);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize expected = FirstStartSize(screen->availableGeometry().size(), fresh.minimumSize())
                               .expandedTo(fresh.minimumSize());
    QCOMPARE(fresh.size(), expected);
    QVERIFY(fresh.width() >= TwipsToPixels(12210) && fresh.height() >= TwipsToPixels(8160));
    QCOMPARE(
        fresh.pos(), CenteredTopLeft(screen->geometry(), fresh.size(), GetTaskbarHeight(), TwipsPerPixel()));
}

void TestMainWindow::placementComesBack_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("maximized");
    QTest::newRow("where the user left it") << QString() << false;
    QTest::newRow("on a monitor that is gone, maximised") << "6000,-3000,1200,700,1" << true;
}

void TestMainWindow::placementComesBack()
{
    QFETCH(QString, stored);
    QFETCH(bool, maximized);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QRect left;
    if (stored.isEmpty()) {
        // A place inside the screen as far as the window's minimum allows.
        left = QRect(area.topLeft() + QPoint(7, 9), window_->minimumSize());
        window_->setGeometry(left);
        window_->close(); // stores the placement at once
        QVERIFY(Stored(QString::fromLatin1(kWindowPlacementKey)).startsWith(QStringLiteral("7,9,")));
    } else {
        StorePlacement(stored);
    }
    StartNewRun();
    MainWindow next(*run_, *profile_);
    QCOMPARE(next.isMaximized() || next.windowState().testFlag(Qt::WindowMaximized), maximized);
    if (!left.isNull()) {
        QCOMPARE(next.size(), left.size());
        QCOMPARE(next.y(), left.y());
        if (area.width() >= left.width()) // else it is moved to the left edge
            QCOMPARE(next.x(), left.x());
    }
    // Back on the screen: its top-left corner inside the work area.
    QVERIFY2(area.contains(next.normalGeometry().topLeft()) || area.contains(next.geometry().topLeft()),
        qPrintable(QStringLiteral("%1,%2").arg(next.geometry().x()).arg(next.geometry().y())));
    QVERIFY(next.width() >= next.minimumWidth());
}

void TestMainWindow::checkBoxSwitchesLayout()
{
    QVERIFY(Part<QWidget>(*window_, u"bar_1"_s)->isVisible());
    QVERIFY(!Part<QWidget>(*window_, u"bar_0"_s)->isVisible());
    QTest::mouseClick(
        Part<QCheckBox>(*window_, u"Chk_1"_s), Qt::LeftButton, {}, QPoint(4, Part<QCheckBox>(*window_, u"Chk_1"_s)->height() / 2));
    QVERIFY(Part<QCheckBox>(*window_, u"Chk_1"_s)->isChecked());
    QVERIFY(Part<QWidget>(*window_, u"bar_0"_s)->isVisible());
    QVERIFY(!Part<QWidget>(*window_, u"bar_1"_s)->isVisible());
    QCOMPARE(Part<QWidget>(*window_, u"grid"_s)->width(), TwipsToPixels(TwipsOf(window_->frameGeometry().width()) - 150));
    QCOMPARE(Stored(QStringLiteral("CHK_1")), QStringLiteral("1"));
    QCOMPARE(Part<QLabel>(*window_, u"total"_s)->text(), QStringLiteral("交易总额：0"));
    QTest::mouseClick(
        Part<QCheckBox>(*window_, u"Chk_1"_s), Qt::LeftButton, {}, QPoint(4, Part<QCheckBox>(*window_, u"Chk_1"_s)->height() / 2));
    QVERIFY(Part<QWidget>(*window_, u"bar_1"_s)->isVisible());
    QCOMPARE(Part<WebBrowser>(*window_, u"browser"_s)->y(), TwipsToPixels(360));
    QCOMPARE(Stored(QStringLiteral("CHK_1")), QStringLiteral("0"));
}

void TestMainWindow::draggingAndReleasingTheBar_data()
{
    QTest::addColumn<int>("mouseX"); // pixels from the window's left edge
    QTest::addColumn<int>("expectedLeftTwips"); // -1: the right-hand limit
    QTest::newRow("inside") << 300 << int(PixelsToTwips(300) + 0.5) - 120;
    QTest::newRow("past the right edge") << 5000 << -1;
    QTest::newRow("left of the window") << -50 << 400;
}

void TestMainWindow::draggingAndReleasingTheBar()
{
    QFETCH(int, mouseX);
    QFETCH(int, expectedLeftTwips);
    if (expectedLeftTwips < 0)
        expectedLeftTwips = int(PixelsToTwips(window_->frameGeometry().width()) + 0.5) - 45 - 800;
    QWidget* bar = Part<QWidget>(*window_, u"bar_1"_s);
    QCursor::setPos(window_->frameGeometry().x() + mouseX, window_->frameGeometry().y() + 200);
    if (QCursor::pos().x() != window_->frameGeometry().x() + mouseX)
        QSKIP("the platform does not move the cursor");
    SendMouse(bar, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
    QVERIFY(qAbs(TwipsOf(bar->x()) - expectedLeftTwips) <= 30);
    // The grid follows only on release, which stores the fraction.
    SendMouse(bar, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    const int width = TwipsOf(window_->frameGeometry().width());
    const double stored = Stored(QStringLiteral("Split_Top_1")).toDouble();
    QVERIFY(qAbs(stored * width - TwipsOf(bar->x())) <= 30);
    QCOMPARE(Part<QWidget>(*window_, u"grid"_s)->width(), bar->x());
    QVERIFY(qAbs(Part<WebBrowser>(*window_, u"browser"_s)->x() - (bar->x() + TwipsToPixels(45))) <= 1);
}

void TestMainWindow::moveWithoutLeftButtonDoesNothing()
{
    const int before = Part<QWidget>(*window_, u"bar_1"_s)->x();
    QCursor::setPos(window_->frameGeometry().x() + 500, window_->frameGeometry().y() + 200);
    SendMouse(Part<QWidget>(*window_, u"bar_1"_s), QEvent::MouseMove, Qt::NoButton, Qt::RightButton);
    SendMouse(Part<QWidget>(*window_, u"bar_1"_s), QEvent::MouseMove, Qt::NoButton, Qt::LeftButton | Qt::RightButton);
    QCOMPARE(Part<QWidget>(*window_, u"bar_1"_s)->x(), before);
}

// The buttons are disabled while a command runs; the focused one would hand
// the focus on to the seller field, whose blinking cursor keeps repainting
// the idle window. The button has it again once the command has ended.
void TestMainWindow::commandLeavesTheFocusOnItsButton()
{
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    auto* merge = window_->findChild<QPushButton*>(QStringLiteral("Com_1"));
    auto* shop = window_->findChild<QLineEdit*>(QStringLiteral("shop"));
    merge->setFocus();
    QWidget* focusedMeanwhile = nullptr;
    const QMetaObject::Connection watch = connect(qApp, &QApplication::focusChanged,
        [&](QWidget*, QWidget* now) { focusedMeanwhile = focusedMeanwhile ? focusedMeanwhile : now; });
    QTest::mouseClick(merge, Qt::LeftButton);
    disconnect(watch);
    QVERIFY(focusedMeanwhile && focusedMeanwhile != shop); // the command did take it from the button
    QCOMPARE(QApplication::focusWidget(), merge);
}

void TestMainWindow::closingEndsTheProgram()
{
    QCOMPARE(ended_, 0);
    window_->close();
    QCOMPARE(ended_, 1);
}

// A finding's line selects its trade as a click would: the row is
// highlighted, the grid's Row and RowSel follow, so the next command acts
// on what the seller sees; the trade's detail page opens in the browser.
void TestMainWindow::findingSelectsItsTradeVisibly()
{
    // The grid as wide as a seller would drag it (an earlier test left it narrow).
    QVERIFY(run_->settings.StoreLayoutText(QStringLiteral("Split_Top_1"), QStringLiteral("0.6")));
    window_->LayOut();
    TradeGrid& grid = window_->Session().Grid();
    FillTrades(grid, 30);
    FindingList findings;
    findings.Add(TradeFinding(Order(20), FindingKind::FieldShape, ColWaybill, QString(60, u'单')));
    window_->Session().SetFindings(findings);
    window_->RefreshTotal();
    auto* view = Part<TradeGridView>(*window_, u"grid"_s);
    auto* list = Part<QListWidget>(*window_, u"findingsList"_s);
    QVERIFY(list->isVisible());
    QTest::mouseClick(
        view->viewport(), Qt::LeftButton, {}, view->visualRect(grid.index(3, ColTime)).center());
    QCOMPARE(grid.Row(), 3);

    QListWidgetItem* line = list->item(0);
    QVERIFY(line->text().endsWith(QStringLiteral("已留空。双击打开详情页核对。")));
    // Read whole: wrapped to the pane's width, and in the tooltip.
    QCOMPARE(line->toolTip(), line->text());
    QVERIFY(list->fontMetrics().horizontalAdvance(line->text()) > list->viewport()->width());
    QVERIFY(list->visualItemRect(line).height() >= 2 * list->fontMetrics().height());
    QVERIFY(list->visualItemRect(line).width() <= list->viewport()->width());
    list->setFocus();
    list->setCurrentItem(line);
    QTest::keyClick(list, Qt::Key_Return);
    const int row = 2 + 19;
    QCOMPARE(grid.Row(), row);
    QCOMPARE(grid.RowSel(), row);
    QVERIFY(view->selectionModel()->isSelected(grid.index(row, ColTime)));
    QVERIFY(!view->selectionModel()->isSelected(grid.index(3, ColTime)));
    QVERIFY(view->viewport()->rect().intersects(view->visualRect(grid.index(row, ColWaybill))));
    auto* browser = Part<WebBrowser>(*window_, u"browser"_s);
    QTRY_VERIFY2(browser->url().toString().contains(QStringLiteral("bizOrderId=") + Order(20)),
        qPrintable(browser->url().toString()));

    // The line's text, for a message to the shop's helper.
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), line->text());
    QCOMPARE(list->contextMenuPolicy(), Qt::ActionsContextMenu);
    QCOMPARE(list->actions().value(0)->text(), QStringLiteral("复制"));

    // 删除记录 deletes the highlighted trade, not the one clicked before.
    window_->Run(Command::DeleteRows);
    QCOMPARE(grid.FindOrderRow(Order(20)), -1);
    QVERIFY(grid.FindOrderRow(Order(2)) >= 0);
    QCOMPARE(list->count(), 0);
    QVERIFY(!list->isVisible());
    QCOMPARE(view->selectionModel()->selectedIndexes().size(), 0);
}

// After 合并记录, 过滤关闭交易 and 删除记录 the pane, the tints, the status
// line, the total and the rows' heights describe the rows the grid holds.
void TestMainWindow::findingsAndHeightsFollowTheGrid()
{
    TradeGrid& grid = window_->Session().Grid();
    FillTrades(grid, 12, { 3, 5, 7 }, { 1, 10 });
    FindingList findings;
    findings.Add(TradeFinding(Order(7), FindingKind::FieldShape, ColMobile, QStringLiteral("1380000")));
    findings.Add(TradeFinding(
        Order(10), FindingKind::AddressToCheck, ColCity, QStringLiteral("南京市"), FindingSeverity::ToCheck));
    findings.Add(TradeFinding(Order(11), FindingKind::MaskedMobile, ColMobile, QStringLiteral("138****0000"),
        FindingSeverity::Note));
    window_->Session().SetFindings(findings);
    window_->RefreshTotal();
    auto* view = Part<TradeGridView>(*window_, u"grid"_s);
    auto* list = Part<QListWidget>(*window_, u"findingsList"_s);
    auto* status = Part<QLabel>(*window_, u"findingsStatus"_s);
    QCOMPARE(
        status->text(), QStringLiteral("已提取 12 笔交易，共 12 行 · 1 笔未写入 · 1 笔需核对 · 1 笔提示"));

    window_->Run(Command::Merge);
    QCOMPARE(status->text(),
        QStringLiteral(
            "已提取 12 笔交易，共 10 行（1 行合并了多笔交易） · 1 笔未写入 · 1 笔需核对 · 1 笔提示"));
    const int merged = 2 + 2; // trade 3's row holds 5 and 7 too
    QCOMPARE(view->CellTint(merged, ColMobile), TradeGridDelegate::Tint::Refused);
    QCOMPARE(view->rowHeight(merged), TwipsToPixels(3 * TradeGrid::kDefaultRowHeight));

    // The filter removes trade 1 above the merged row and trade 10 below.
    QTest::mouseClick(Part<QCheckBox>(*window_, u"Chk_0"_s), Qt::LeftButton, {},
        QPoint(4, Part<QCheckBox>(*window_, u"Chk_0"_s)->height() / 2));
    QCOMPARE(grid.Rows(), 2 + 8);
    QCOMPARE(status->text(),
        QStringLiteral("已提取 10 笔交易，共 8 行（1 行合并了多笔交易） · 1 笔未写入 · 1 笔提示"));
    QCOMPARE(list->count(), 2);
    for (int row = 2; row < grid.Rows(); ++row)
        QCOMPARE(
            view->rowHeight(row), TwipsToPixels((row == merged - 1 ? 3 : 1) * TradeGrid::kDefaultRowHeight));

    // The merged row's line finds the row by any of its trades.
    list->setCurrentRow(0);
    QVERIFY(list->currentItem()->text().contains(Order(7)));
    emit list->itemActivated(list->currentItem());
    QCOMPARE(grid.Row(), merged - 1);
    window_->Run(Command::DeleteRows);
    QCOMPARE(status->text(), QStringLiteral("已提取 7 笔交易，共 7 行 · 1 笔提示"));
    QCOMPARE(list->count(), 1);
    QCOMPARE(Part<QLabel>(*window_, u"total"_s)->text(), QStringLiteral("交易总额：139.3元"));
    for (int row = 2; row < grid.Rows(); ++row)
        QCOMPARE(view->rowHeight(row), TwipsToPixels(TradeGrid::kDefaultRowHeight));
    QTest::mouseClick(Part<QCheckBox>(*window_, u"Chk_0"_s), Qt::LeftButton, {},
        QPoint(4, Part<QCheckBox>(*window_, u"Chk_0"_s)->height() / 2));
}

LUMETRA_TEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"

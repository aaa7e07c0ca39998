#include "core/grid/GridOperations.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/text/TextHelpers.h"
#include "gui/grid/FrozenColumnsView.h"
#include "gui/grid/TradeGridDelegate.h"
#include "gui/grid/TradeGridHeader.h"
#include "gui/grid/TradeGridView.h"
#include "gui/grid/WidgetTextMeasurer.h"
#include "gui/base/Twips.h"
#include "support/TestSupport.h"

#include <QFontInfo>
#include <QHelpEvent>
#include <QImage>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

class TestTradeGridView : public QObject {
    Q_OBJECT
private slots:
    void fontIsChinese();
    void fixedRowsStayAtTheTop();
    void sizesComeFromTwips_data();
    void sizesComeFromTwips();
    void hiddenGridIsNotRepaintedAndCatchesUp();
    void multiLineCellShownInFull_data();
    void multiLineCellShownInFull();
    void fixedColumnsAreShaded();
    void fixedColumnsStayAtTheLeft_data();
    void fixedColumnsStayAtTheLeft();
    void frozenColumnsFollowTheGrid_data();
    void frozenColumnsFollowTheGrid();
    void frozenColumnsKeepCellsInSight();
    void displayLines_data();
    void displayLines();
    void selectionFeedsRowAndRowSel();
    void resizeSetsWidth();
    void deletionKeepsScrollAndSelection();
    void tintsEveryCellTheFindingLeftEmptyOrDoubts_data();
    void tintsEveryCellTheFindingLeftEmptyOrDoubts();
    void noteCellShowsItsWholeText();
    void measurer_data();
    void measurer();
    void fitWithRealFontCoversTitles();
};

namespace {

// A set-up grid with trades 1 … n.
void Trades(TradeGrid& grid, int count)
{
    SetUpTradeGrid(grid);
    grid.SetRows(grid.FixedRows() + count);
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r) {
        grid.SetTextMatrix(r, ColSequence, QString::number(r - 1));
        grid.SetTextMatrix(r, ColOrderNumber, QStringLiteral("4000%1").arg(r));
    }
}

int DarkPixels(const QImage& image, const QRect& area)
{
    int dark = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            dark += qGray(image.pixel(x, y)) < 110;
    return dark;
}

void Show(TradeGridView& view, int width = 640, int height = 320)
{
    view.resize(width, height);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
}

// The overlay that freezes the fixed columns shows the view's rows at the
// view's sizes and scroll position, and only the fixed columns.
void ExpectFrozenColumnsInStep(const TradeGridView& view, const TradeGrid& grid)
{
    const FrozenColumnsView* frozen = view.FrozenColumns();
    QVERIFY(frozen);
    QCOMPARE(frozen->parentWidget(), &view);
    QCOMPARE(frozen->model()->rowCount(), grid.Rows());
    QCOMPARE(frozen->selectionModel(), view.selectionModel());
    for (int r = 0; r < grid.Rows(); ++r) {
        QCOMPARE(frozen->isRowHidden(r), view.isRowHidden(r));
        QCOMPARE(frozen->rowHeight(r), view.rowHeight(r));
    }
    int covered = 0;
    for (int c = 0; c < grid.Cols(); ++c) {
        const bool fixed = c < grid.FixedCols();
        QCOMPARE(frozen->isColumnHidden(c), !fixed || view.isColumnHidden(c));
        if (fixed) {
            QCOMPARE(frozen->columnWidth(c), view.columnWidth(c));
            covered += view.columnWidth(c);
        }
    }
    QCOMPARE(frozen->isVisible(), covered > 0);
    if (covered == 0)
        return;
    QCOMPARE(frozen->width(), covered);
    QCOMPARE(frozen->geometry().left(), view.viewport()->geometry().left());
    QCOMPARE(frozen->geometry().bottom(), view.viewport()->geometry().bottom());
    QCOMPARE(frozen->viewport()->height(), view.viewport()->height());
    QCOMPARE(frozen->horizontalScrollBar()->value(), 0);
    QCOMPARE(frozen->columnViewportPosition(0), 0);
    QVERIFY(frozen->FixedRowsHeader() != view.FixedRowsHeader());
    QCOMPARE(frozen->horizontalHeader()->isHidden(), view.horizontalHeader()->isHidden());
    if (!view.horizontalHeader()->isHidden())
        QCOMPARE(frozen->horizontalHeader()->height(), view.horizontalHeader()->height());
    QCOMPARE(frozen->verticalScrollBar()->maximum(), view.verticalScrollBar()->maximum());
    QCOMPARE(frozen->verticalScrollBar()->value(), view.verticalScrollBar()->value());
}

} // namespace

void TestTradeGridView::fontIsChinese()
{
    const QFont font = TradeGridFont();
    QCOMPARE(font.pointSize(), 9);
    const QString family = QFontInfo(font).family();
    QVERIFY2(family.contains(QStringLiteral("CJK")) || family.contains(QStringLiteral("SimSun"))
            || family.contains(QStringLiteral("宋体")),
        qPrintable(family));
}

void TestTradeGridView::fixedRowsStayAtTheTop()
{
    TradeGrid grid;
    Trades(grid, 200);
    TradeGridView view(&grid);
    Show(view);
    QVERIFY(view.isRowHidden(0));
    QVERIFY(view.isRowHidden(1));
    QVERIFY(!view.isRowHidden(2));
    const int rowPixels = TwipsToPixels(TradeGrid::kDefaultRowHeight);
    QCOMPARE(view.horizontalHeader()->height(), 2 * rowPixels);
    QCOMPARE(view.rowViewportPosition(2), 0); // the first trade right under the header rows
    const int headerTop = view.horizontalHeader()->geometry().top();

    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    QTest::qWait(20);
    QVERIFY(view.rowViewportPosition(2) < 0);
    QVERIFY(view.horizontalHeader()->isVisible());
    QCOMPARE(view.horizontalHeader()->geometry().top(), headerTop);
    // The title of column 2 is drawn in the lower of the two header rows.
    const QImage header = view.horizontalHeader()->grab().toImage();
    const int left = view.horizontalHeader()->sectionViewportPosition(ColOrderNumber);
    const int width = view.horizontalHeader()->sectionSize(ColOrderNumber);
    QVERIFY(DarkPixels(header, QRect(left, rowPixels, width, rowPixels)) > 10);
    QVERIFY(DarkPixels(header, QRect(left, 0, width, rowPixels)) > 3); // its letter "A"
    // The header grows with the fixed rows' heights.
    grid.SetRowHeight(1, 600);
    QCOMPARE(view.horizontalHeader()->height(), rowPixels + TwipsToPixels(600));
}

void TestTradeGridView::sizesComeFromTwips_data()
{
    QTest::addColumn<int>("twips");
    QTest::newRow("1500 twips") << 1500;
    QTest::newRow("600 twips") << 600;
    QTest::newRow("hidden") << 0;
}

void TestTradeGridView::sizesComeFromTwips()
{
    QFETCH(int, twips);
    TradeGrid grid;
    Trades(grid, 5);
    TradeGridView view(&grid);
    grid.SetColWidth(ColItem, twips);
    grid.SetRowHeight(4, twips);
    QCOMPARE(view.isColumnHidden(ColItem), twips == 0);
    QCOMPARE(view.isRowHidden(4), twips == 0);
    if (twips != 0) {
        QCOMPARE(view.columnWidth(ColItem), TwipsToPixels(twips));
        QCOMPARE(view.rowHeight(4), TwipsToPixels(twips));
    }
    // Shown again with a size, it comes back at that size.
    grid.SetColWidth(ColItem, 900);
    grid.SetRowHeight(4, 900);
    QVERIFY(!view.isColumnHidden(ColItem));
    QVERIFY(!view.isRowHidden(4));
    QCOMPARE(view.columnWidth(ColItem), TwipsToPixels(900));
    QCOMPARE(view.rowHeight(4), TwipsToPixels(900));
    QCOMPARE(view.columnWidth(ColStrip), TwipsToPixels(50));
}

void TestTradeGridView::hiddenGridIsNotRepaintedAndCatchesUp()
{
    TradeGrid grid;
    Trades(grid, 10);
    TradeGridView view(&grid);
    Show(view);
    grid.SetVisible(false);
    QVERIFY(!view.updatesEnabled());
    grid.SetRows(30);
    grid.SetRowHeight(25, 750);
    grid.SetColWidth(ColTime, 3000);
    QCOMPARE(view.model()->rowCount(), 30);
    grid.SetVisible(true);
    QVERIFY(view.updatesEnabled());
    QCOMPARE(view.rowHeight(25), TwipsToPixels(750));
    QCOMPARE(view.columnWidth(ColTime), TwipsToPixels(3000));
    QVERIFY(view.isRowHidden(1));
}

void TestTradeGridView::multiLineCellShownInFull_data()
{
    QTest::addColumn<int>("lines");
    QTest::newRow("two lines") << 2;
    QTest::newRow("three lines") << 3;
    QTest::newRow("five lines") << 5;
}

void TestTradeGridView::multiLineCellShownInFull()
{
    QFETCH(int, lines);
    // As the merge leaves a row: n lines, n times the default height, the
    // column fitted to its widest line.
    const WidgetTextMeasurer measurer(TradeGridFont());
    TradeGrid grid;
    Trades(grid, 3);
    const QString line = QStringLiteral("李四");
    grid.SetTextMatrix(2, ColRecipient, line); // one line, for comparison
    grid.SetTextMatrix(3, ColRecipient, QStringList(lines, line).join(QStringLiteral("\r\n")));
    grid.SetRowHeight(3, lines * TradeGrid::kDefaultRowHeight);
    grid.SetWidth(20000);
    AutoFitColumns(measurer, grid, 1, nullptr);
    TradeGridView view(&grid);
    Show(view, 1400, 400);
    view.scrollTo(grid.index(3, ColRecipient));
    QTest::qWait(20);
    const QImage image = view.viewport()->grab().toImage();
    const int one = DarkPixels(image, view.visualRect(grid.index(2, ColRecipient)));
    const int all = DarkPixels(image, view.visualRect(grid.index(3, ColRecipient)));
    QVERIFY(one > 10);
    // Every line drawn whole: an elided or clipped cell has far less ink.
    QVERIFY2(all >= one * lines * 9 / 10, qPrintable(QStringLiteral("%1 vs %2 per line").arg(all).arg(one)));
}

void TestTradeGridView::fixedColumnsAreShaded()
{
    TradeGrid grid;
    Trades(grid, 3);
    TradeGridView view(&grid);
    Show(view);
    const QImage image = view.viewport()->grab().toImage();
    const QRect sequence = view.visualRect(grid.index(2, ColSequence));
    const QRect time = view.visualRect(grid.index(2, ColTime)); // empty cell
    const QRgb fixed = image.pixel(sequence.right() - 2, sequence.top() + 2);
    const QRgb data = image.pixel(time.center());
    QCOMPARE(QColor(fixed), view.palette().button().color());
    QVERIFY(fixed != data);
}

void TestTradeGridView::fixedColumnsStayAtTheLeft_data()
{
    QTest::addColumn<int>("down");
    QTest::addColumn<bool>("fromOverlay");
    QTest::newRow("scrolled right") << 0 << false;
    QTest::newRow("scrolled right and down") << 100 << false;
    QTest::newRow("scrolled down over the fixed columns") << 100 << true;
}

void TestTradeGridView::fixedColumnsStayAtTheLeft()
{
    QFETCH(int, down);
    QFETCH(bool, fromOverlay);
    TradeGrid grid;
    Trades(grid, 200);
    TradeGridView view(&grid);
    Show(view, 480, 320);
    FrozenColumnsView* frozen = view.FrozenColumns();
    QScrollBar* side = view.horizontalScrollBar();
    QVERIFY(side->maximum() > 0);
    side->setValue(side->maximum());
    // Either view may be scrolled (the wheel over the fixed columns scrolls
    // the overlay); the other follows.
    (fromOverlay ? frozen : static_cast<QTableView*>(&view))->verticalScrollBar()->setValue(down);
    QTest::qWait(20);
    QCOMPARE(view.verticalScrollBar()->value(), down);
    QCOMPARE(side->value(), side->maximum());
    QVERIFY(view.columnViewportPosition(ColSequence) < 0); // gone from the view itself
    ExpectFrozenColumnsInStep(view, grid);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(frozen->isVisible());
    QCOMPARE(frozen->columnViewportPosition(ColSequence), view.columnWidth(ColStrip));

    // The sequence number of a row in sight is drawn at the left edge.
    const int row = view.rowAt(view.viewport()->height() / 2);
    QVERIFY(row >= grid.FixedRows());
    QCOMPARE(frozen->rowAt(frozen->viewport()->height() / 2), row);
    const QPoint overlayViewport = frozen->viewport()->mapTo(&view, QPoint());
    const QRect cell = frozen->visualRect(grid.index(row, ColSequence)).translated(overlayViewport);
    const QRect inside = cell.adjusted(1, 1, -2, -2);
    QVERIFY(cell.left() < view.columnWidth(ColStrip) + 5);
    const int inked = DarkPixels(view.grab().toImage(), inside);
    grid.SetTextMatrix(row, ColSequence, QString());
    QTest::qWait(20);
    const int empty = DarkPixels(view.grab().toImage(), inside);
    QVERIFY2(inked > 3 && empty == 0, qPrintable(QStringLiteral("%1 vs %2").arg(inked).arg(empty)));

    // The top-left corner shows the fixed rows of the fixed columns: the
    // title of the sequence column in the lower one.
    const int rowPixels = TwipsToPixels(TradeGrid::kDefaultRowHeight);
    const QRect title(frozen->geometry().left() + view.columnWidth(ColStrip),
        frozen->geometry().top() + rowPixels, view.columnWidth(ColSequence), rowPixels);
    QCOMPARE(grid.TextMatrix(1, ColSequence), QStringLiteral("序号"));
    QVERIFY(DarkPixels(view.grab().toImage(), title.adjusted(1, 1, -2, -2)) > 10);
}

void TestTradeGridView::frozenColumnsFollowTheGrid_data()
{
    QTest::addColumn<QString>("change");
    for (const char* change : { "three fixed columns", "no fixed columns", "sequence column wider",
             "strip hidden", "row taller, row hidden", "rows removed", "rows added", "columns added",
             "batch while hidden", "one fixed row" })
        QTest::newRow(change) << QString::fromLatin1(change);
}

void TestTradeGridView::frozenColumnsFollowTheGrid()
{
    QFETCH(QString, change);
    TradeGrid grid;
    Trades(grid, 150);
    TradeGridView view(&grid);
    Show(view, 480, 320);
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
    view.verticalScrollBar()->setValue(40);
    QTest::qWait(20);
    ExpectFrozenColumnsInStep(view, grid);
    if (QTest::currentTestFailed())
        return;

    if (change == QLatin1String("three fixed columns")) {
        grid.SetFixedCols(3);
    } else if (change == QLatin1String("no fixed columns")) {
        grid.SetFixedCols(0);
    } else if (change == QLatin1String("sequence column wider")) {
        grid.SetColWidth(ColSequence, 1500);
    } else if (change == QLatin1String("strip hidden")) {
        grid.SetColWidth(ColStrip, 0);
    } else if (change == QLatin1String("row taller, row hidden")) {
        grid.SetRowHeight(45, 900);
        grid.SetRowHeight(46, 0);
    } else if (change == QLatin1String("rows removed")) {
        DeleteRows(grid, 10, 30);
    } else if (change == QLatin1String("rows added")) {
        grid.SetRows(grid.Rows() + 50);
        grid.SetRowHeight(grid.Rows() - 1, 600);
    } else if (change == QLatin1String("columns added")) {
        grid.SetCols(grid.Cols() + 2);
    } else if (change == QLatin1String("batch while hidden")) {
        grid.SetVisible(false);
        grid.SetRows(120);
        grid.SetRowHeight(50, 750);
        grid.SetColWidth(ColSequence, 1200);
        grid.SetVisible(true);
    } else if (change == QLatin1String("one fixed row")) {
        grid.SetFixedRows(1);
    } else {
        QFAIL(qPrintable(change));
    }
    QTest::qWait(20);
    ExpectFrozenColumnsInStep(view, grid);
}

void TestTradeGridView::frozenColumnsKeepCellsInSight()
{
    TradeGrid grid;
    Trades(grid, 100);
    TradeGridView view(&grid);
    Show(view, 480, 320);
    QScrollBar* side = view.horizontalScrollBar();
    side->setValue(side->maximum());
    QTest::qWait(20);
    const FrozenColumnsView* frozen = view.FrozenColumns();

    // A click on a sequence number selects its row and leaves the view where it is.
    const QRect sequence = frozen->visualRect(grid.index(6, ColSequence));
    QTest::mouseClick(frozen->viewport(), Qt::LeftButton, Qt::NoModifier, sequence.center());
    QCOMPARE(view.currentIndex(), grid.index(6, ColSequence));
    QCOMPARE(grid.Row(), 6);
    QCOMPARE(grid.RowSel(), 6);
    QCOMPARE(side->value(), side->maximum());

    // A cell brought into sight from the left ends up beside the overlay, not under it.
    view.setCurrentIndex(grid.index(6, ColOrderNumber));
    QVERIFY(side->value() < side->maximum());
    QCOMPARE(view.visualRect(grid.index(6, ColOrderNumber)).left(), frozen->CoveredWidth());

    // The wheel over the fixed columns scrolls the rows of both.
    const int before = view.verticalScrollBar()->value();
    const QPointF at = QPointF(frozen->viewport()->rect().center());
    QWheelEvent wheel(at, frozen->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(frozen->viewport(), &wheel);
    QVERIFY(view.verticalScrollBar()->value() > before);
    QCOMPARE(frozen->verticalScrollBar()->value(), view.verticalScrollBar()->value());
}

void TestTradeGridView::displayLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    const QChar separator(QChar::LineSeparator);
    QTest::newRow("CR LF") << "a\r\nb" << QStringLiteral("a%1b").arg(separator);
    QTest::newRow("lone LF and CR") << "a\nb\rc" << QStringLiteral("a%1b%1c").arg(separator);
    QTest::newRow("two breaks") << "a\r\n\r\nb" << QStringLiteral("a%1%1b").arg(separator);
    QTest::newRow("one line") << "订单"
                              << "订单";
}

void TestTradeGridView::displayLines()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(TradeGridDelegate::DisplayLines(text), shown);
}

void TestTradeGridView::selectionFeedsRowAndRowSel()
{
    TradeGrid grid;
    Trades(grid, 30);
    TradeGridView view(&grid);
    Show(view);
    auto click = [&](int row, Qt::KeyboardModifiers modifiers) {
        QTest::mouseClick(
            view.viewport(), Qt::LeftButton, modifiers, view.visualRect(grid.index(row, ColTime)).center());
    };
    click(7, Qt::NoModifier);
    QCOMPARE(grid.Row(), 7);
    QCOMPARE(grid.RowSel(), 7);
    click(4, Qt::ShiftModifier); // extended upwards: the start stays the larger
    QCOMPARE(grid.Row(), 7);
    QCOMPARE(grid.RowSel(), 4);
    QTest::keyClick(view.viewport(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(grid.Row(), 7);
    QCOMPARE(grid.RowSel(), 5);
    click(9, Qt::ShiftModifier);
    QCOMPARE(grid.Row(), 7);
    QCOMPARE(grid.RowSel(), 9);
    DeleteRows(grid, grid.Row(), grid.RowSel());
    QCOMPARE(grid.Rows(), 2 + 27);
    QCOMPARE(grid.TextMatrix(7, ColOrderNumber), QStringLiteral("400010"));
}

void TestTradeGridView::resizeSetsWidth()
{
    TradeGrid grid;
    TradeGridView view(&grid);
    const int before = grid.Width();
    Show(view, 500, 200);
    QCOMPARE(grid.Width(), int(std::lround(PixelsToTwips(view.width()))));
    view.resize(720, 200);
    QTRY_COMPARE(view.width(), 720);
    QCOMPARE(grid.Width(), int(std::lround(PixelsToTwips(720))));
    QVERIFY(before != grid.Width());
}

void TestTradeGridView::deletionKeepsScrollAndSelection()
{
    TradeGrid grid;
    Trades(grid, 500);
    TradeGridView view(&grid);
    Show(view);
    view.verticalScrollBar()->setValue(300);
    QTest::qWait(20);
    view.selectionModel()->setCurrentIndex(grid.index(312, ColTime), QItemSelectionModel::NoUpdate);
    view.selectionModel()->select(QItemSelection(grid.index(310, ColTime), grid.index(312, ColTime)),
        QItemSelectionModel::ClearAndSelect);
    QCOMPARE(grid.Row(), 310);
    QCOMPARE(grid.RowSel(), 312);
    DeleteRows(grid, grid.Row(), grid.RowSel());
    QCOMPARE(grid.Rows(), 2 + 497);
    QCOMPARE(view.verticalScrollBar()->value(), 300);
    // The grid still holds the selection, and the view shows it.
    QCOMPARE(grid.Row(), 310);
    QCOMPARE(grid.RowSel(), 312);
    QVERIFY(view.selectionModel()->isSelected(grid.index(311, ColTime)));
    QVERIFY(!view.selectionModel()->isSelected(grid.index(313, ColTime)));
    QCOMPARE(view.currentIndex().row(), 312);
}

void TestTradeGridView::tintsEveryCellTheFindingLeftEmptyOrDoubts_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("orderCell"); // of the finding's row; its trade is 40003
    QTest::addColumn<QStringList>("divisions"); // 省, 市, 区 as written
    QTest::addColumn<QList<int>>("tinted");
    QTest::addColumn<bool>("refused"); // else to check
    const QList<int> address { ColRecipient, ColMobile, ColTelephone, ColProvince, ColCity, ColDistrict,
        ColAddress, ColPostcode };
    QTest::newRow("an address line not told apart: every cell it left empty")
        << int(FindingKind::FieldShape) << int(ColRecipient) << "40003" << QStringList {} << address << true;
    QTest::newRow("a street without its province: 省/市/区 and the address")
        << int(FindingKind::FieldShape) << int(ColAddress) << "40003" << QStringList {}
        << QList<int> { ColProvince, ColCity, ColDistrict, ColAddress } << true;
    QTest::newRow("a municipality written three times: the district holds it")
        << int(FindingKind::AddressToCheck) << int(ColCity) << "40003"
        << QStringList { "北京市", "北京市", "北京市" } << QList<int> { ColDistrict } << false;
    QTest::newRow("a city of another province")
        << int(FindingKind::AddressToCheck) << int(ColCity) << "40003"
        << QStringList { "浙江省", "南京市", "玄武区" } << QList<int> { ColCity } << false;
    QTest::newRow("to ship without a recipient: its number and the empty cells")
        << int(FindingKind::ToShipWithoutRecipient) << -1 << "40003" << QStringList {}
        << QList<int> { ColOrderNumber } + address << true;
    QTest::newRow("parcels unread: company and waybill")
        << int(FindingKind::ParcelsUnread) << int(ColWaybill) << "40003" << QStringList {}
        << QList<int> { ColCompany, ColWaybill } << true;
    QTest::newRow("a merged row: the trade's cell on it")
        << int(FindingKind::ShippedWithoutWaybill) << int(ColWaybill) << "40099\r\n40003\r\n40003_2"
        << QStringList {} << QList<int> { ColWaybill } << true;
}

void TestTradeGridView::tintsEveryCellTheFindingLeftEmptyOrDoubts()
{
    QFETCH(int, kind);
    QFETCH(int, column);
    QFETCH(QString, orderCell);
    QFETCH(QStringList, divisions);
    QFETCH(QList<int>, tinted);
    QFETCH(bool, refused);
    TradeGrid grid;
    Trades(grid, 3);
    const int row = 3;
    grid.SetTextMatrix(row, ColOrderNumber, orderCell);
    if (!divisions.isEmpty()) {
        grid.SetTextMatrix(row, ColRecipient, QStringLiteral("张三"));
        grid.SetTextMatrix(row, ColProvince, divisions[0]);
        grid.SetTextMatrix(row, ColCity, divisions[1]);
        grid.SetTextMatrix(row, ColDistrict, divisions[2]);
        grid.SetTextMatrix(row, ColAddress, QStringLiteral("朝阳区 建国路 1 号"));
    }
    TradeGridView view(&grid);
    Show(view);
    const Finding finding = TradeFinding(QStringLiteral("40003"), FindingKind(kind), column,
        QStringLiteral("所见"), refused ? FindingSeverity::Refused : FindingSeverity::ToCheck);
    FindingList findings;
    findings.Add(finding);
    view.SetFindings(findings);
    const auto tint = refused ? TradeGridDelegate::Tint::Refused : TradeGridDelegate::Tint::ToCheck;
    for (int col = 0; col < grid.Cols(); ++col) {
        const bool expected = tinted.contains(col);
        QCOMPARE(view.CellTint(row, col), expected ? tint : TradeGridDelegate::Tint::None);
        // A tinted cell says why; the rows of other trades say nothing.
        QCOMPARE(view.CellToolTip(row, col), expected ? FindingLine(finding) : QString());
        QCOMPARE(view.CellTint(row - 1, col), TradeGridDelegate::Tint::None);
    }
}

// A message of two lines shows its first on a one-line row; its tooltip
// holds the whole text, line breaks and all.
void TestTradeGridView::noteCellShowsItsWholeText()
{
    TradeGrid grid;
    Trades(grid, 3);
    const QString message
        = QStringLiteral("请发顺丰，周末家里没有人，请放门卫\r\n发票抬头：杭州某某科技有限公司");
    grid.SetTextMatrix(3, ColBuyerMessage, message);
    grid.SetTextMatrix(3, ColSellerMemo, QStringLiteral("VIP 老客户"));
    TradeGridView view(&grid);
    Show(view);
    const QString whole
        = QStringLiteral("请发顺丰，周末家里没有人，请放门卫\n发票抬头：杭州某某科技有限公司");
    QCOMPARE(view.CellToolTip(3, ColBuyerMessage), whole);
    QCOMPARE(view.CellToolTip(3, ColSellerMemo), QStringLiteral("VIP 老客户"));
    QCOMPARE(view.CellToolTip(2, ColBuyerMessage), QString());
    // As the seller sees it: the mouse rests on the cell.
    const QModelIndex cell = grid.index(3, ColBuyerMessage);
    view.scrollTo(cell);
    const QPoint at = view.visualRect(cell).center();
    QVERIFY(view.viewport()->rect().contains(at));
    QHelpEvent help(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(view.viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), whole);
    QToolTip::hideText();
}

void TestTradeGridView::measurer_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sameAs");
    QTest::newRow("widest line, CR LF") << "ab\r\nabcdef"
                                        << "abcdef";
    QTest::newRow("widest line first") << "订单编号号\r\nab"
                                       << "订单编号号";
    QTest::newRow("lone LF") << "abc\nabcdefgh"
                             << "abcdefgh";
    QTest::newRow("trailing break") << "abc\r\n"
                                    << "abc";
}

void TestTradeGridView::measurer()
{
    QFETCH(QString, text);
    QFETCH(QString, sameAs);
    const WidgetTextMeasurer measurer(TradeGridFont());
    const QFontMetricsF metrics(TradeGridFont());
    QCOMPARE(measurer.TextWidth(text), measurer.TextWidth(sameAs));
    // Within a pixel of the shaped text.
    QVERIFY(std::abs(measurer.TextWidth(sameAs) - PixelsToTwips(metrics.horizontalAdvance(sameAs)))
        <= PixelsToTwips(1));
    QCOMPARE(measurer.TextWidth(QString()), 0.0);
    QCOMPARE(measurer.TextWidth(QStringLiteral("\r\n")), 0.0);
    QVERIFY(measurer.TextWidth(QStringLiteral("订单")) > measurer.TextWidth(QStringLiteral("ab")));
    // Characters outside the basic plane count once, as one character.
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    QCOMPARE(measurer.TextWidth(emoji + emoji), 2 * measurer.TextWidth(emoji));
}

void TestTradeGridView::fitWithRealFontCoversTitles()
{
    const WidgetTextMeasurer measurer(TradeGridFont());
    TradeGrid grid;
    grid.SetWidth(20000);
    SetUpTradeGrid(grid, &measurer);
    QCOMPARE(grid.ColWidth(ColStrip), 50);
    for (int c = ColSequence; c < kShownTradeColumns; ++c) {
        const double title = measurer.TextWidth(grid.TextMatrix(1, c));
        QVERIFY(title > 0);
        QCOMPARE(grid.ColWidth(c), int(RoundHalfToEven(title + 100)));
    }
}

LUMETRA_TEST_MAIN(TestTradeGridView)
#include "TestTradeGridView.moc"

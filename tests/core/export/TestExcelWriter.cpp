#include "core/export/ExcelWriter.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"
#include "support/ExportTestSupport.h"
#include "support/TestSupport.h"
#include "support/XlsxReadBack.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

using namespace exporttest;

class TestExcelWriter : public QObject {
    Q_OBJECT

private:
    RecordingProgressView view_;
    std::unique_ptr<Progress> progress_;
    QTemporaryDir dir_;

    // The trade grid with its two title rows and three trades, the narrow
    // strip in column A.
    static void FillTradeGrid(TradeGrid& grid)
    {
        SetUpTradeGrid(grid);
        grid.SetRows(5);
        for (int c = 0; c < grid.Cols(); ++c)
            grid.SetColWidth(c, 1500);
        grid.SetColWidth(ColStrip, 50);
        grid.SetColWidth(ColOrderNumber, 1230);
        grid.SetColWidth(ColTime, 1229);
        for (int r = 2; r < 5; ++r) {
            grid.SetTextMatrix(r, ColSequence, QString::number(r - 1));
            for (int c = ColOrderNumber; c < kTradeGridCols; ++c)
                grid.SetTextMatrix(r, c, QStringLiteral("t%1-%2").arg(r).arg(c));
        }
        grid.SetTextMatrix(2, ColOrderNumber, QStringLiteral("12345678901234567890"));
        grid.SetTextMatrix(3, ColBuyer, QStringLiteral("=HYPERLINK(\"http://x\")"));
        grid.SetTextMatrix(4, ColRating, QString());
    }

private slots:
    void initTestCase() { QVERIFY2(!QStandardPaths::findExecutable("unzip").isEmpty(), "unzip is needed"); }
    void init()
    {
        view_ = RecordingProgressView();
        progress_ = std::make_unique<Progress>();
        progress_->SetView(&view_);
    }

    void columnLetters_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("letters");
        QTest::newRow("1") << 1 << "A";
        QTest::newRow("23") << 23 << "W";
        QTest::newRow("26") << 26 << "Z";
        QTest::newRow("27") << 27 << "AA";
        QTest::newRow("52") << 52 << "AZ";
        QTest::newRow("53") << 53 << "BA";
        QTest::newRow("702") << 702 << "ZZ";
        QTest::newRow("703") << 703 << "AAA";
        QTest::newRow("16384") << 16384 << "XFD";
        QTest::newRow("0") << 0 << "";
        QTest::newRow("negative") << -3 << "";
    }
    void columnLetters()
    {
        QFETCH(int, column);
        QFETCH(QString, letters);
        QCOMPARE(ExcelColumnLetters(column), letters);
    }

    void sheetName_data()
    {
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<QString>("name");
        QTest::newRow("shipping sheet") << "Quorvel软件-淘宝发货信息表"
                                        << "Quorvel软件-淘宝发货信息表";
        QTest::newRow("forbidden characters") << "a[b]c:d*e?f/g\\h"
                                              << "a_b_c_d_e_f_g_h";
        QTest::newRow("too long") << QString(40, u'x') << QString(31, u'x');
        QTest::newRow("long Chinese") << QString(35, u'表') << QString(31, u'表');
        QTest::newRow("pair at the limit") << QString(30, u'x') + QString::fromUtf8("\xF0\x9F\x98\x80")
                                           << QString(30, u'x') + QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::newRow("apostrophes") << "'quoted'"
                                     << "quoted";
        QTest::newRow("empty") << ""
                               << "Sheet1";
        QTest::newRow("blank") << "   "
                               << "Sheet1";
    }
    void sheetName()
    {
        QFETCH(QString, wanted);
        QFETCH(QString, name);
        QCOMPARE(ExcelSheetName(wanted), name);
    }

    void sheetNameReadBack_data()
    {
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<QString>("name");
        QTest::newRow("shipping sheet") << "Quorvel软件-淘宝发货信息表"
                                        << "Quorvel软件-淘宝发货信息表";
        QTest::newRow("forbidden characters") << "发货/信息:表"
                                              << "发货_信息_表";
        QTest::newRow("too long") << QString(40, u'表') << QString(31, u'表');
    }
    void sheetNameReadBack()
    {
        QFETCH(QString, wanted);
        QFETCH(QString, name);
        TradeGrid grid;
        FillGrid(grid, 2, 2);
        const QString path = dir_.filePath("name.xlsx");
        QVERIFY(WriteGridExcel(*progress_, grid, path, wanted).IsWritten());
        const XlsxBook book = ReadXlsx(path);
        QVERIFY(book.ok);
        QCOMPARE(book.sheetCount, 1);
        QCOMPARE(book.sheetName, name);
    }

    void tradeGridSheet()
    {
        TradeGrid grid;
        FillTradeGrid(grid);
        const QString path = dir_.filePath("trades.xls");
        QVERIFY(
            WriteGridExcel(*progress_, grid, path, QStringLiteral("Quorvel软件-淘宝发货信息表")).IsWritten());
        const XlsxBook book = ReadXlsx(path);
        QVERIFY(book.ok);
        QVERIFY(!book.anyFormula);

        // The filled block is A1:W5, every cell of it bordered; nothing outside.
        for (auto it = book.cells.cbegin(); it != book.cells.cend(); ++it) {
            QVERIFY2(ColumnNumber(it.key()) <= 23, qPrintable(it.key()));
            QVERIFY2(it.key().mid(ColumnNumber(it.key()) > 0 ? 1 : 0).toInt() <= 5, qPrintable(it.key()));
        }
        for (int row = 1; row <= 5; ++row) {
            for (int column = 1; column <= 23; ++column) {
                const QString ref = CellRef(row, column);
                QVERIFY2(book.cells.contains(ref), qPrintable(ref));
                const XlsxStyle style = book.StyleOf(ref);
                QVERIFY2(style.thinBorder, qPrintable(ref));
                // Title rows filled and bold from A on; trade rows plain.
                QCOMPARE(style.bold, row <= 2);
                QCOMPARE(style.fill, row <= 2 ? QStringLiteral("FFFFC080") : QString());
            }
        }

        // Values are strings with their TAB; empty grid cells stay blank.
        QCOMPARE(book.cells.value("B2").value, QStringLiteral("序号\t"));
        QCOMPARE(book.cells.value("C2").value, QStringLiteral("订单编号\t"));
        QCOMPARE(book.cells.value("W2").value, QStringLiteral("单号\t"));
        QCOMPARE(book.cells.value("C1").value, QStringLiteral("A\t"));
        QCOMPARE(book.cells.value("C3").value, QStringLiteral("12345678901234567890\t"));
        QCOMPARE(book.cells.value("C3").type, QStringLiteral("s"));
        QCOMPARE(book.cells.value("I4").value, QStringLiteral("=HYPERLINK(\"http://x\")\t"));
        QCOMPARE(book.cells.value("I4").type, QStringLiteral("s"));
        QCOMPARE(book.cells.value("V5").value, QStringLiteral("t4-21\t"));
        for (const QString ref : { "A1", "A2", "A3", "B1", "M5" })
            QVERIFY2(!book.cells.value(ref).hasValue, qPrintable(ref));

        // Widths: twips / 123 without the fraction; the strip gives 0.
        QVERIFY(book.columns.contains(1));
        QCOMPARE(book.columns.value(1).width, 0.0);
        QCOMPARE(int(book.columns.value(3).width), 10);
        QCOMPARE(int(book.columns.value(4).width), 9);
        QCOMPARE(int(book.columns.value(5).width), 1500 / 123);
    }

    void hiddenRowsAndColumnsPacked()
    {
        TradeGrid grid;
        FillGrid(grid, 6, 5);
        grid.SetRowHeight(2, 0);
        grid.SetColWidth(1, 0);
        const QString path = dir_.filePath("packed.xlsx");
        QVERIFY(WriteGridExcel(*progress_, grid, path, QStringLiteral("s")).IsWritten());
        const XlsxBook book = ReadXlsx(path);
        QVERIFY(book.ok);
        QStringList refs;
        for (int row = 1; row <= 5; ++row)
            for (int column = 1; column <= 4; ++column)
                refs.append(CellRef(row, column));
        QStringList written = book.cells.keys();
        std::sort(refs.begin(), refs.end());
        std::sort(written.begin(), written.end());
        QCOMPARE(written, refs);
        QCOMPARE(book.cells.value("A1").value, QStringLiteral("r0c0\t"));
        QCOMPARE(book.cells.value("B1").value, QStringLiteral("r0c2\t"));
        QCOMPARE(book.cells.value("B2").value, QStringLiteral("r1c2\t"));
        QCOMPARE(book.cells.value("B3").value, QStringLiteral("r3c2\t"));
        QCOMPARE(book.cells.value("D5").value, QStringLiteral("r5c4\t"));
        QVERIFY(book.StyleOf("D5").thinBorder);
        QVERIFY(book.StyleOf("A1").bold);
        QVERIFY(!book.StyleOf("A2").bold);
    }

    void widthsFromLastTitleRow_data()
    {
        QTest::addColumn<int>("fixedRows");
        QTest::addColumn<bool>("hideLastTitleRow");
        QTest::addColumn<bool>("widthsSet");
        QTest::newRow("one title row") << 1 << false << true;
        QTest::newRow("two title rows") << 2 << false << true;
        QTest::newRow("last title row hidden") << 2 << true << false;
        QTest::newRow("no title rows") << 0 << false << false;
    }
    void widthsFromLastTitleRow()
    {
        QFETCH(int, fixedRows);
        QFETCH(bool, hideLastTitleRow);
        QFETCH(bool, widthsSet);
        TradeGrid grid;
        FillGrid(grid, 4, 3, fixedRows);
        for (int c = 0; c < 3; ++c)
            grid.SetColWidth(c, 2460);
        if (hideLastTitleRow)
            grid.SetRowHeight(fixedRows - 1, 0);
        const QString path = dir_.filePath("widths.xlsx");
        QVERIFY(WriteGridExcel(*progress_, grid, path, QStringLiteral("s")).IsWritten());
        const XlsxBook book = ReadXlsx(path);
        QVERIFY(book.ok);
        QCOMPARE(book.columns.size(), widthsSet ? 3 : 0);
        for (auto it = book.columns.cbegin(); it != book.columns.cend(); ++it)
            QCOMPARE(int(it.value().width), 20);
        // Fill and bold exactly on the visible title rows.
        int row = 0;
        for (int r = 0; r < 4; ++r) {
            if (grid.RowHeight(r) == 0)
                continue;
            ++row;
            QCOMPARE(book.StyleOf(CellRef(row, 1)).bold, r < fixedRows);
            QCOMPARE(book.StyleOf(CellRef(row, 3)).fill.isEmpty(), r >= fixedRows);
        }
    }

    void progressSteps_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("hidden");
        QTest::newRow("visible") << 6 << 0;
        QTest::newRow("hidden rows") << 6 << 2;
    }
    void progressSteps()
    {
        QFETCH(int, rows);
        QFETCH(int, hidden);
        TradeGrid grid;
        FillGrid(grid, rows, 2);
        for (int r = 0; r < hidden; ++r)
            grid.SetRowHeight(1 + r, 0);
        QVERIFY(WriteGridExcel(*progress_, grid, dir_.filePath("progress.xlsx"), QStringLiteral("s"))
                    .IsWritten());
        // Two set-up steps and one per grid row; the total counts them all.
        QCOMPARE(progress_->State().total, rows + 2);
        QCOMPARE(progress_->State().position, rows + 2);
        QCOMPARE(view_.counter, QStringLiteral("(%1/%1)").arg(rows + 2));
        QCOMPARE(view_.message, QStringLiteral("正在将数据导出到EXCEL文件 …"));
        QVERIFY(!view_.loaded);
    }

    // Over-long cells are cut at the cell limit, the workbook is still
    // written, and the user learns how many were cut.
    void longCellsCut_data()
    {
        const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("cells");
        QTest::addColumn<QStringList>("messages");
        const QString fits(32766, u'a');
        QTest::newRow("fits with its TAB") << fits << fits + u'\t' << 1 << QStringList();
        const QString limit(32767, u'b');
        QTest::newRow("exactly the limit, no room for the TAB") << limit << limit << 1 << QStringList();
        const QString cutMessage = "有 %1 个单元格超过 32767 个字符，工作簿中只保存了每格的前 32767 "
                                   "个字符。导出为 CSV 文件可保留全部内容。";
        QTest::newRow("one over is cut") << limit + u'c' << limit << 1 << QStringList { cutMessage.arg(1) };
        QTest::newRow("thousands of merged lines, two cells")
            << QStringLiteral("1234567890123456\r\n").repeated(5000)
            << QStringLiteral("1234567890123456\r\n").repeated(5000).left(32767) << 2
            << QStringList { cutMessage.arg(2) };
        QTest::newRow("pair at the limit is not split")
            << QString(32766, u'd') + pair + QStringLiteral("e") << QString(32766, u'd') << 1
            << QStringList { cutMessage.arg(1) };
    }
    void longCellsCut()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QFETCH(int, cells);
        QFETCH(QStringList, messages);
        TradeGrid grid;
        FillGrid(grid, 3, 2);
        for (int c = 0; c < cells; ++c)
            grid.SetTextMatrix(1, c, text);
        const QString path = dir_.filePath("long.xlsx");
        const ExportResult result = WriteGridExcel(*progress_, grid, path, QStringLiteral("s"));
        QVERIFY(result.IsWritten());
        QCOMPARE(ToldUser(*progress_, result), messages);
        const XlsxBook book = ReadXlsx(path);
        QVERIFY(book.ok);
        // The sheet keeps a CR as the escape _x000D_, which Excel reads back as CR.
        const auto cell = [&](const char* ref) {
            return book.cells.value(ref).value.replace(QStringLiteral("_x000D_"), QStringLiteral("\r"));
        };
        QCOMPARE(cell("A2"), written);
        QCOMPARE(cell("B2"), cells > 1 ? written : QStringLiteral("r1c1\t"));
        QCOMPARE(book.cells.value("A3").value, QStringLiteral("r2c0\t"));
    }

    void failure_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("missing folder") << "missing/out.xlsx";
        QTest::newRow("path is a folder") << "folder";
    }
    void failure()
    {
        QFETCH(QString, relativePath);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        TradeGrid grid;
        FillGrid(grid, 3, 3);
        const ExportResult result
            = WriteGridExcel(*progress_, grid, dir.filePath(relativePath), QStringLiteral("s"));
        QVERIFY(!result.IsWritten());
        QVERIFY(view_.loaded); // left for the one who tells the user
        QCOMPARE(ToldUser(*progress_, result), QStringList { "文件保存出错！" });
        QVERIFY(!view_.loaded);
        QCOMPARE(Entries(dir.path()), QStringList { "folder" });
        QVERIFY(Entries(dir.filePath("folder")).isEmpty());
    }

    void gridShrinksDuringExport()
    {
        QTemporaryDir dir;
        TradeGrid grid;
        FillGrid(grid, 200, 3);
        const QString path = dir.filePath("out.xlsx");
        QVERIFY(testsupport::WriteFile(path, "old"));
        ShrinkGridLater(grid, 40, 5);
        QVERIFY_THROWS_EXCEPTION(GridRangeError, (void)WriteGridExcel(*progress_, grid, path, QStringLiteral("s")));
        QCOMPARE(testsupport::ReadFile(path), QByteArray("old"));
        QCOMPARE(Entries(dir.path()), QStringList { "out.xlsx" });
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestExcelWriter)
#include "TestExcelWriter.moc"

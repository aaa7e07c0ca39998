#include "core/export/CsvWriter.h"
#include "core/export/ExportMessages.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"
#include "core/text/AnsiCodec.h"
#include "support/ExportTestSupport.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTimer>

using namespace exporttest;

class TestCsvWriter : public QObject {
    Q_OBJECT

private:
    RecordingProgressView view_;
    std::unique_ptr<Progress> progress_;

    // Five columns (the third hidden, the first the narrow strip) and five
    // rows (the third hidden) holding the awkward cases.
    static void FillSampleGrid(TradeGrid& grid)
    {
        grid.SetCols(5);
        grid.SetRows(5);
        grid.SetFixedRows(1);
        grid.SetColWidth(0, 50);
        grid.SetColWidth(3, 0);
        grid.SetRowHeight(2, 0);
        const QList<QStringList> rows {
            { "", "订单编号", "金额", "hidden", "备注" },
            { "", "123", "12,5", "x", "a\"b" },
            { "", "gone", "gone", "gone", "gone" },
            { "", "", "=HYPERLINK(\"u\")", "x", "x\ny" },
            { "", "-12.5", "a\r\nb", "x", "a\rb" },
        };
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < 5; ++c)
                grid.SetTextMatrix(r, c, rows[r][c]);
    }

    static QByteArray SampleGridBytes()
    {
        return "\t," + QByteArray::fromHex("b6a9b5a5b1e0bac5") + "\t," + QByteArray::fromHex("bdf0b6ee")
            + "\t," + QByteArray::fromHex("b1b8d7a2") + "\t\r\n" + "\t,123\t,\"12,5\t\",\"a\"\"b\t\"\r\n"
            + "\t,\t,\"'=HYPERLINK(\"\"u\"\")\t\",x\ny\t\r\n" + "\t,-12.5\t,\"a\r\nb\t\",a\rb\t\r\n";
    }

private slots:
    void init()
    {
        view_ = RecordingProgressView();
        progress_ = std::make_unique<Progress>();
        progress_->SetView(&view_);
    }

    void field_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("title") << "订单编号"
                               << "订单编号\t";
        QTest::newRow("empty") << ""
                               << "\t";
        QTest::newRow("comma") << "12,5"
                               << "\"12,5\t\"";
        QTest::newRow("double quote") << "a\"b"
                                      << "\"a\"\"b\t\"";
        QTest::newRow("CR LF") << "a\r\nb"
                               << "\"a\r\nb\t\"";
        QTest::newRow("lone LF") << "a\nb"
                                 << "a\nb\t";
        QTest::newRow("lone CR") << "a\rb"
                                 << "a\rb\t";
        QTest::newRow("LF then CR") << "a\n\rb"
                                    << "a\n\rb\t";
        QTest::newRow("equals") << "=1+2"
                                << "'=1+2\t";
        QTest::newRow("plus text") << "+86 138"
                                   << "'+86 138\t";
        QTest::newRow("at") << "@SUM(A1)"
                            << "'@SUM(A1)\t";
        QTest::newRow("minus alone") << "-"
                                     << "'-\t";
        QTest::newRow("minus formula") << "-2+3"
                                       << "'-2+3\t";
        QTest::newRow("formula with comma") << "=a,b"
                                            << "\"'=a,b\t\"";
        QTest::newRow("negative number") << "-12.5"
                                         << "-12.5\t";
        QTest::newRow("signed number") << "+3"
                                       << "+3\t";
        QTest::newRow("negative fraction") << "-.5"
                                           << "-.5\t";
        QTest::newRow("dash inside") << "2024-01-02"
                                     << "2024-01-02\t";
        QTest::newRow("two points") << "-1.2.3"
                                    << "'-1.2.3\t";
        QTest::newRow("longer than a workbook cell kept whole")
            << QString(40000, u'长') << QString(40000, u'长') + u'\t';
    }
    void field()
    {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QCOMPARE(CsvField(text), field);
    }

    void goldenBytes()
    {
        TradeGrid grid;
        FillSampleGrid(grid);
        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(WriteGridCsv(*progress_, grid, static_cast<QIODevice&>(buffer)).IsWritten());
        QCOMPARE(buffer.data(), SampleGridBytes());
    }

    // The notes come after 单号 only when asked, each on one line and
    // guarded like any field; every other byte stays as without them.
    void notesAtTheEndOnlyWhenAsked()
    {
        TradeGrid grid;
        SetUpTradeGrid(grid);
        grid.SetRows(3);
        grid.SetTextMatrix(2, ColOrderNumber, QStringLiteral("88"));
        grid.SetTextMatrix(2, ColBuyerMessage, QStringLiteral("=1+1\r\nb\nc\rd"));
        grid.SetTextMatrix(2, ColSellerMemo, QStringLiteral("x,y"));
        QStringList lines[2];
        for (const ExportNotes notes : { ExportNotes::Without, ExportNotes::With }) {
            QBuffer buffer;
            QVERIFY(buffer.open(QIODevice::WriteOnly));
            QVERIFY(WriteGridCsv(*progress_, grid, static_cast<QIODevice&>(buffer), notes).IsWritten());
            lines[int(notes)] = DecodeAnsi(buffer.data()).split(QStringLiteral("\r\n"));
        }
        const QStringList added { ",V\t,W\t", ",买家留言\t,卖家备注\t", ",'=1+1 / b / c / d\t,\"x,y\t\"",
            "" };
        QCOMPARE(lines[1].size(), added.size());
        for (qsizetype i = 0; i < added.size(); ++i)
            QCOMPARE(lines[1][i], lines[0][i] + added[i]);
        QVERIFY(lines[0][1].endsWith(QStringLiteral(",单号\t")));
    }

    void goldenBytesInFile()
    {
        QTemporaryDir dir;
        TradeGrid grid;
        FillSampleGrid(grid);
        const QString path = dir.filePath("out.csv");
        QVERIFY(WriteGridCsv(*progress_, grid, path).IsWritten());
        QCOMPARE(testsupport::ReadFile(path), SampleGridBytes());
        QCOMPARE(Entries(dir.path()), QStringList { "out.csv" });
    }

    void characters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("beyondGbk"); // characters written as "?"
        QTest::newRow("GBK") << "收件人" << QByteArray::fromHex("cad5bcfec8cb09") << 0;
        QTest::newRow("ASCII") << "abc" << QByteArray("abc\t") << 0;
        // Outside GBK: GB18030's four bytes would show as two wrong
        // characters where GBK is read; "?" and the count instead.
        QTest::newRow("emoji") << QString::fromUtf8("\xF0\x9F\x98\x80") << QByteArray("?\t") << 1;
        QTest::newRow("emoji between GBK, one outside the plane")
            << QStringLiteral("收😀件\u0E01人") << QByteArray::fromHex("cad53fbcfe3fc8cb09") << 2;
        // The euro sign as code page 936 writes it, like every text the tool encodes.
        QTest::newRow("euro") << QString::fromUtf8("\xE2\x82\xAC"
                                                   "5")
                              << QByteArray::fromHex("803509") << 0;
    }
    void characters()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(int, beyondGbk);
        TradeGrid grid;
        grid.SetRows(1);
        grid.SetCols(1);
        grid.SetTextMatrix(0, 0, text);
        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        const ExportResult result = WriteGridCsv(*progress_, grid, static_cast<QIODevice&>(buffer));
        QVERIFY(result.IsWritten());
        QCOMPARE(buffer.data(), bytes + "\r\n");
        QCOMPARE(result.beyondGbk, beyondGbk);
        QCOMPARE(ExportResultMessages(*progress_, result),
            beyondGbk ? QStringList { BeyondGbkMessage(beyondGbk) } : QStringList());
        if (beyondGbk == 0)
            QCOMPARE(DecodeAnsi(buffer.data()), text + "\t\r\n");
    }

    void onlyTitleRows()
    {
        TradeGrid grid;
        FillGrid(grid, 2, 2, 2);
        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(WriteGridCsv(*progress_, grid, static_cast<QIODevice&>(buffer)).IsWritten());
        QCOMPARE(buffer.data(), QByteArray("r0c0\t,r0c1\t\r\nr1c0\t,r1c1\t\r\n"));
    }

    void progressCountsEveryRow_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("hidden");
        QTest::newRow("all visible") << 7 << 0;
        QTest::newRow("hidden rows") << 7 << 3;
        QTest::newRow("all hidden") << 4 << 4;
    }
    void progressCountsEveryRow()
    {
        QFETCH(int, rows);
        QFETCH(int, hidden);
        TradeGrid grid;
        FillGrid(grid, rows, 2);
        for (int r = 0; r < hidden; ++r)
            grid.SetRowHeight(rows - 1 - r, 0);
        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(WriteGridCsv(*progress_, grid, static_cast<QIODevice&>(buffer)).IsWritten());
        QCOMPARE(progress_->State().total, rows);
        QCOMPARE(progress_->State().position, rows);
        QCOMPARE(view_.counter, QStringLiteral("(%1/%1)").arg(rows));
        QCOMPARE(view_.message, QStringLiteral("正在导出数据至CSV格式文件……"));
        QVERIFY(!view_.loaded);
        QCOMPARE(buffer.data().count("\r\n"), rows - hidden);
    }

    void fortyThousandRows()
    {
        QTemporaryDir dir;
        const int rows = 40001;
        TradeGrid grid;
        FillGrid(grid, rows, 3);
        const QString path = dir.filePath("big.csv");
        QVERIFY(WriteGridCsv(*progress_, grid, path).IsWritten());
        const QByteArray bytes = testsupport::ReadFile(path);
        QCOMPARE(bytes.count("\r\n"), rows);
        QVERIFY(bytes.endsWith("\r\nr40000c0\t,r40000c1\t,r40000c2\t\r\n"));
        QCOMPARE(progress_->State().position, rows);
        QCOMPARE(view_.counter, QStringLiteral("(40001/40001)"));
    }

    void failingDevice_data()
    {
        QTest::addColumn<int>("failAfter");
        QTest::newRow("at once") << 0;
        QTest::newRow("inside the first line") << 7;
        QTest::newRow("after some lines") << 100;
    }
    void failingDevice()
    {
        QFETCH(int, failAfter);
        TradeGrid grid;
        FillGrid(grid, 50, 3);
        FailDevice device(failAfter);
        QVERIFY(device.open(QIODevice::WriteOnly));
        const ExportResult result = WriteGridCsv(*progress_, grid, static_cast<QIODevice&>(device));
        QVERIFY(!result.IsWritten());
        QVERIFY(view_.loaded); // left for the one who tells the user
        QCOMPARE(ToldUser(*progress_, result), QStringList { "文件保存出错！" });
        QVERIFY(!view_.loaded);
        QVERIFY(device.data().size() <= failAfter);
    }

    void unwritablePath()
    {
        QTemporaryDir dir;
        TradeGrid grid;
        FillGrid(grid, 3, 3);
        QCOMPARE(ToldUser(*progress_, WriteGridCsv(*progress_, grid, dir.filePath("missing/out.csv"))),
            QStringList { "文件保存出错！" });
        QVERIFY(Entries(dir.path()).isEmpty());
        QVERIFY(!view_.loaded);
    }

    void gridShrinksDuringExport()
    {
        QTemporaryDir dir;
        TradeGrid grid;
        FillGrid(grid, 200, 3);
        const QString path = dir.filePath("out.csv");
        QVERIFY(testsupport::WriteFile(path, "old"));
        // Another command deletes rows while the writer lets events run: the
        // error ends the export (the session's guard tells the seller).
        ShrinkGridLater(grid, 40, 5);
        QVERIFY_THROWS_EXCEPTION(GridRangeError, (void)WriteGridCsv(*progress_, grid, path));
        QCOMPARE(testsupport::ReadFile(path), QByteArray("old"));
        QCOMPARE(Entries(dir.path()), QStringList { "out.csv" });
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestCsvWriter)
#include "TestCsvWriter.moc"

#include "core/batch/BatchOptions.h"
#include "support/TestSupport.h"

#include <QCommandLineParser>

class TestBatchOptions : public QObject {
    Q_OBJECT
private slots:
    void readFromTheCommandLine_data();
    void readFromTheCommandLine();
};

void TestBatchOptions::readFromTheCommandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("exportPath");
    QTest::addColumn<bool>("merge");
    QTest::addColumn<int>("filter"); // -1 as stored, 0 keep, 1 drop
    QTest::addColumn<QString>("listUrl");
    QTest::addColumn<int>("detailDownloads"); // 0 not given
    QTest::addColumn<QString>("error");
    const QString url = QStringLiteral("http://127.0.0.1:8/list");
    QTest::newRow("window") << QStringList {} << "" << false << -1 << "" << 0 << "";
    QTest::newRow("export with defaults")
        << QStringList { "--export", "a.csv" } << "a.csv" << false << -1 << "" << 0 << "";
    QTest::newRow("everything") << QStringList { "--export=b.xlsx", "--merge", "--keep-closed", "--start-url",
        url, "--detail-downloads", "3" }
                                << "b.xlsx" << true << 0 << url << 3 << "";
    QTest::newRow("drop closed") << QStringList { "--export", "c.csv", "--filter-closed" } << "c.csv" << false
                                 << 1 << "" << 0 << "";
    QTest::newRow("both filter flags")
        << QStringList { "--export", "c.csv", "--filter-closed", "--keep-closed" } << "" << false << -1 << ""
        << 0 << "不能同时用";
    QTest::newRow("merge without a file")
        << QStringList { "--merge" } << "" << false << -1 << "" << 0 << "需要与 --export FILE 一起用";
    QTest::newRow("empty file name") << QStringList { "--export=" } << "" << false << -1 << "" << 0
                                     << "需要一个文件名";
    QTest::newRow("no count") << QStringList { "--export", "a.csv", "--detail-downloads", "many" } << ""
                              << false << -1 << "" << 0 << "1 到 6 的整数";
    QTest::newRow("zero count") << QStringList { "--export", "a.csv", "--detail-downloads", "0" } << ""
                                << false << -1 << "" << 0 << "1 到 6 的整数";
    QTest::newRow("no network wait") << QStringList { "--export", "a.csv", "--network-wait", "0" } << "a.csv"
                                     << false << -1 << "" << 0 << "";
    QTest::newRow("network wait not a count")
        << QStringList { "--export", "a.csv", "--network-wait", "-5" } << "" << false << -1 << "" << 0
        << "--network-wait 需要 0 到 86400 的整数";
    // The documents alone make an unattended run; their options need them.
    QTest::newRow("documents without a sheet")
        << QStringList { "--picking-list", "p.pdf", "--packing-slips=s.pdf", "--slip-paper", "100x150", "--merge" }
        << "" << true << -1 << "" << 0 << "";
    QTest::newRow("the one-part waybill's label") << QStringList { "--packing-slips", "s.pdf", "--slip-paper", "76X130" }
                                                  << "" << false << -1 << "" << 0 << "";
    QTest::newRow("slip paper not known") << QStringList { "--packing-slips", "s.pdf", "--slip-paper", "A4" } << ""
                                          << false << -1 << "" << 0 << "--slip-paper 只能是 a5、100x150 或 76x130";
    QTest::newRow("slip paper without slips") << QStringList { "--export", "a.csv", "--slip-paper", "a5" } << ""
                                              << false << -1 << "" << 0 << "需要与 --packing-slips";
    // One file for two outputs would be written twice and both told as written.
    QTest::newRow("sheet and picking list in one file")
        << QStringList { "--export", "day.pdf", "--picking-list", "./sub/../day.pdf" } << "" << false << -1
        << "" << 0 << "--export 和 --picking-list 指向同一个文件";
    QTest::newRow("both documents in one file")
        << QStringList { "--picking-list", "d.pdf", "--packing-slips", "d.pdf" } << "" << false << -1 << ""
        << 0 << "--picking-list 和 --packing-slips 指向同一个文件";
    QTest::newRow("courier sheet alone, sender given")
        << QStringList { "--courier-sheet", "k.xlsx", "--courier-template", "简单", "--sender-name", "小店" } << ""
        << false << -1 << "" << 0 << "";
    QTest::newRow("to-check parcels without a courier sheet")
        << QStringList { "--export", "a.csv", "--courier-to-check" } << "" << false << -1 << "" << 0
        << "需要与 --courier-sheet FILE 一起用";
    QTest::newRow("sender without a courier sheet") << QStringList { "--export", "a.csv", "--sender-phone", "1" }
                                                    << "" << false << -1 << "" << 0 << "需要与 --courier-sheet FILE 一起用";
    QTest::newRow("sheet and courier sheet in one file")
        << QStringList { "--export", "a.csv", "--courier-sheet", "a.csv" } << "" << false << -1 << "" << 0
        << "--export 和 --courier-sheet 指向同一个文件";
    QTest::newRow("picking list without a file") << QStringList { "--picking-list=" } << "" << false << -1 << ""
                                                 << 0 << "--picking-list 需要一个文件名";
    // A link to another output is that output: the PDF would be written
    // over the sheet. Also a link to a sheet not written yet, and a link
    // to a link; a link elsewhere is a file of its own.
    QTest::newRow("slips a link to the sheet")
        << QStringList { "--export", "@/got.csv", "--packing-slips", "@/slips.pdf" } << "" << false << -1 << ""
        << 0 << "--export 和 --packing-slips 指向同一个文件";
    QTest::newRow("picking list a link to a sheet not written yet")
        << QStringList { "--export", "@/new.csv", "--picking-list", "@/to-new.pdf" } << "" << false << -1 << ""
        << 0 << "--export 和 --picking-list 指向同一个文件";
    QTest::newRow("sheet a link to a link to the picking list")
        << QStringList { "--picking-list", "@/got.csv", "--export", "@/chain.csv" } << "" << false << -1 << ""
        << 0 << "指向同一个文件";
    QTest::newRow("a link to another file") << QStringList { "--export", "@/slips.pdf", "--picking-list", "@/other.pdf" }
                                            << "@/slips.pdf" << false << -1 << "" << 0 << "";
}

void TestBatchOptions::readFromTheCommandLine()
{
    QFETCH(QStringList, args);
    QFETCH(QString, exportPath);
    QFETCH(bool, merge);
    QFETCH(int, filter);
    QFETCH(QString, listUrl);
    QFETCH(int, detailDownloads);
    QFETCH(QString, error);
    // "@" stands for a folder of links: slips.pdf and chain.csv lead to
    // got.csv, to-new.pdf to new.csv (not there), other.pdf to elsewhere.
    QTemporaryDir links;
    QVERIFY(testsupport::WriteFile(links.filePath(QStringLiteral("got.csv")), "sheet"));
    QVERIFY(testsupport::WriteFile(links.filePath(QStringLiteral("elsewhere.pdf")), "pdf"));
    QVERIFY(QFile::link(QStringLiteral("got.csv"), links.filePath(QStringLiteral("slips.pdf"))));
    QVERIFY(QFile::link(links.filePath(QStringLiteral("slips.pdf")), links.filePath(QStringLiteral("chain.csv"))));
    QVERIFY(QFile::link(QStringLiteral("new.csv"), links.filePath(QStringLiteral("to-new.pdf"))));
    QVERIFY(QFile::link(QStringLiteral("elsewhere.pdf"), links.filePath(QStringLiteral("other.pdf"))));
    for (QString& arg : args)
        arg.replace(QLatin1Char('@'), links.path());
    exportPath.replace(QLatin1Char('@'), links.path());
    QCommandLineParser parser;
    parser.addOption({ QStringLiteral("start-url"), QString(), QStringLiteral("URL") });
    AddBatchOptions(parser);
    QVERIFY(parser.parse(QStringList { QStringLiteral("lumetra-trades") } + args));

    const BatchOptionsRead read = ReadBatchOptions(parser);
    QCOMPARE(read.IsDone(), error.isEmpty());
    if (!read) {
        QVERIFY2(read.reason.contains(error), qPrintable(read.reason));
        return;
    }
    QVERIFY(read.reason.isEmpty());
    const BatchOptions* options = &read.value;
    QCOMPARE(options->exportPath, exportPath);
    QCOMPARE(options->merge, merge);
    QCOMPARE(options->filterClosed.has_value(), filter >= 0);
    if (filter >= 0)
        QCOMPARE(*options->filterClosed, filter == 1);
    QCOMPARE(options->listUrl, listUrl);
    QCOMPARE(options->detailDownloads.value_or(0), detailDownloads);
    QCOMPARE(options->WritesAnything(), !args.isEmpty());
    QCOMPARE(options->networkWaitSeconds,
        args.contains(QStringLiteral("--network-wait")) ? 0 : BatchOptions::kDefaultNetworkWaitSeconds);
}

LUMETRA_TEST_GUILESS_MAIN(TestBatchOptions)
#include "TestBatchOptions.moc"

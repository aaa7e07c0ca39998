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
        << 0 << "exclude each other";
    QTest::newRow("merge without a file")
        << QStringList { "--merge" } << "" << false << -1 << "" << 0 << "need --export";
    QTest::newRow("empty file name") << QStringList { "--export=" } << "" << false << -1 << "" << 0
                                     << "needs a file name";
    QTest::newRow("no count") << QStringList { "--export", "a.csv", "--detail-downloads", "many" } << ""
                              << false << -1 << "" << 0 << "whole number";
    QTest::newRow("zero count") << QStringList { "--export", "a.csv", "--detail-downloads", "0" } << ""
                                << false << -1 << "" << 0 << "whole number";
    QTest::newRow("no network wait") << QStringList { "--export", "a.csv", "--network-wait", "0" } << "a.csv"
                                     << false << -1 << "" << 0 << "";
    QTest::newRow("network wait not a count")
        << QStringList { "--export", "a.csv", "--network-wait", "-5" } << "" << false << -1 << "" << 0
        << "--network-wait needs a whole number";
    // The documents alone make an unattended run; their options need them.
    QTest::newRow("documents without a sheet")
        << QStringList { "--picking-list", "p.pdf", "--packing-slips=s.pdf", "--slip-paper", "100x150", "--merge" }
        << "" << true << -1 << "" << 0 << "";
    QTest::newRow("the one-part waybill's label") << QStringList { "--packing-slips", "s.pdf", "--slip-paper", "76X130" }
                                                  << "" << false << -1 << "" << 0 << "";
    QTest::newRow("slip paper not known") << QStringList { "--packing-slips", "s.pdf", "--slip-paper", "A4" } << ""
                                          << false << -1 << "" << 0 << "--slip-paper needs a5, 100x150 or 76x130";
    QTest::newRow("slip paper without slips") << QStringList { "--export", "a.csv", "--slip-paper", "a5" } << ""
                                              << false << -1 << "" << 0 << "needs --packing-slips";
    // One file for two outputs would be written twice and both told as written.
    QTest::newRow("sheet and picking list in one file")
        << QStringList { "--export", "day.pdf", "--picking-list", "./sub/../day.pdf" } << "" << false << -1
        << "" << 0 << "--export and --picking-list name the same file";
    QTest::newRow("both documents in one file")
        << QStringList { "--picking-list", "d.pdf", "--packing-slips", "d.pdf" } << "" << false << -1 << ""
        << 0 << "--picking-list and --packing-slips name the same file";
    QTest::newRow("courier sheet alone, sender given")
        << QStringList { "--courier-sheet", "k.xlsx", "--courier-template", "简单", "--sender-name", "小店" } << ""
        << false << -1 << "" << 0 << "";
    QTest::newRow("sender without a courier sheet") << QStringList { "--export", "a.csv", "--sender-phone", "1" }
                                                    << "" << false << -1 << "" << 0 << "need --courier-sheet";
    QTest::newRow("sheet and courier sheet in one file")
        << QStringList { "--export", "a.csv", "--courier-sheet", "a.csv" } << "" << false << -1 << "" << 0
        << "--export and --courier-sheet name the same file";
    QTest::newRow("picking list without a file") << QStringList { "--picking-list=" } << "" << false << -1 << ""
                                                 << 0 << "--picking-list needs a file name";
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
    QCommandLineParser parser;
    parser.addOption({ QStringLiteral("start-url"), QString(), QStringLiteral("URL") });
    AddBatchOptions(parser);
    QVERIFY(parser.parse(QStringList { QStringLiteral("lumetra-trades") } + args));

    const BatchOptionsRead read = ReadBatchOptions(parser);
    QCOMPARE(read.usable, error.isEmpty());
    if (!read.usable) {
        QVERIFY2(read.reason.contains(error), qPrintable(read.reason));
        return;
    }
    QVERIFY(read.reason.isEmpty());
    const BatchOptions* options = &read.options;
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

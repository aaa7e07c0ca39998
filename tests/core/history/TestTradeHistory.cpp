// The trade history's file: owner-only, a page stored whole or not at all,
// and unreadable files moved aside.

#include "core/history/HistoryTrouble.h"
#include "core/history/TradeHistory.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QSqlQuery>
#include <algorithm>

namespace {

const QDateTime kFetched(QDate(2026, 12, 7), QTime(15, 30, 0, 250), Qt::UTC);

HistoryEntry Entry(const QString& order, const QStringList& details = QStringList(kHistoryDetailColumns, "x"),
    const QString& status = "交易成功")
{
    return { order, details, status, kFetched };
}

} // namespace

class TestTradeHistory : public QObject {
    Q_OBJECT
private slots:
    // The round trip itself is held by the download's rows and the daily
    // end-to-end run; here what neither sees.
    void ownerOnlyAndAllOrNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("data/history.sqlite");
        {
            TradeHistory history(path);
            QCOMPARE(history.StorePage({ Entry("1001") }), HistoryWrite::Stored);
            QCOMPARE(history.StorePage({ Entry("1003"), Entry("1004", QStringList(3, "x")) }),
                HistoryWrite::Malformed);
            QVERIFY(!history.Find("1003").value);
        }
#ifdef Q_OS_UNIX
        const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
        QCOMPARE(QFile::permissions(path), ownerOnly);
        QCOMPARE(QFile::permissions(dir.filePath("data")), ownerOnly | QFile::ExeOwner | QFile::ExeUser);
#endif
        // A history whose folder cannot be made is off and touches nothing.
        TradeHistory off(path + "/history.sqlite");
        QVERIFY(!off.IsOpen());
        QCOMPARE(off.StorePage({ Entry("1001") }), HistoryWrite::Off);
        QCOMPARE(TradeHistory(path).Find("1001").value, Entry("1001"));
    }

    // A history the run cannot use is told once per run; the walk goes on.
    void troubleToTell_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("a folder in its place") << true;
        QTest::newRow("a page not stored") << false;
    }
    void troubleToTell()
    {
        QFETCH(bool, folder);
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        if (folder)
            QVERIFY(QDir().mkpath(path));
        TradeHistory history(path);
        const QString where = QDir::toNativeSeparators(path);
        const QString off = QString::fromUtf8(kHistoryOffText).arg(where);
        // An open history has something to tell only once a page was not taken.
        QCOMPARE(HistoryTroubleText(&history, false), folder ? off : QString());
        QCOMPARE(HistoryTroubleText(&history, true),
            folder ? off : QString::fromUtf8(kHistoryWriteFailedText).arg(where));
        QVERIFY(HistoryTroubleText(nullptr, true).isEmpty());
    }

    // A row read by an earlier reading, or a whole file of the first
    // version, is not used; the trade's next download replaces it.
    void rowsOfAnEarlierReadingAreNotUsed_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::newRow("row of an earlier reading") << QStringList { "UPDATE trade_details SET reading = 1" };
        QTest::newRow("file of the first version")
            << QStringList { "ALTER TABLE trade_details DROP COLUMN reading",
                   "ALTER TABLE trade_details DROP COLUMN buyer_message",
                   "ALTER TABLE trade_details DROP COLUMN seller_memo", "PRAGMA user_version = 1" };
        QTest::newRow("file of the second version, without notes")
            << QStringList { "ALTER TABLE trade_details DROP COLUMN buyer_message",
                   "ALTER TABLE trade_details DROP COLUMN seller_memo", "UPDATE trade_details SET reading = 2",
                   "PRAGMA user_version = 2" };
    }
    void rowsOfAnEarlierReadingAreNotUsed()
    {
        QFETCH(QStringList, statements);
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        QCOMPARE(TradeHistory(path).StorePage({ Entry("1001") }), HistoryWrite::Stored);
        QVERIFY(testsupport::RunSql(path, statements));
        TradeHistory history(path);
        QVERIFY(history.IsOpen());
        QVERIFY(!history.Find("1001").value);
        QCOMPARE(history.StorePage({ Entry("1001") }), HistoryWrite::Stored);
        QCOMPARE(history.Find("1001").value, Entry("1001"));
        QVERIFY(QDir(dir.path()).entryList({ "history.sqlite.damaged-*" }, QDir::Files).isEmpty());
    }

    // A read that fails is told apart from a trade never stored: the first
    // would be downloaded in silence if it looked like the second.
    void failedReadIsNotNone()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        TradeHistory history(path);
        QCOMPARE(history.StorePage({ Entry("1001") }), HistoryWrite::Stored);
        const StoredEntry none = history.Find("1002");
        QVERIFY(none && !none.value);
        QVERIFY(testsupport::RunSql(path, { "DROP TABLE trade_details" }));
        const StoredEntry failed = history.Find("1001");
        QVERIFY(!failed);
        QVERIFY(!failed.reason.isEmpty());
    }

    void unreadableHistoryIsMovedAside_data()
    {
        QTest::addColumn<QStringList>("statements"); // run on a history holding trade 1001
        QTest::addColumn<QByteArray>("bytes"); // then written as the whole file, when not empty
        QTemporaryDir dir;
        QCOMPARE(TradeHistory(dir.filePath("h")).StorePage({ Entry("1001") }), HistoryWrite::Stored);
        QTest::newRow("not a database") << QStringList() << QByteArray("no database\n").repeated(500);
        QTest::newRow("cut short") << QStringList() << testsupport::ReadFile(dir.filePath("h")).left(4096);
        QTest::newRow("newer schema") << QStringList { "PRAGMA user_version = 4" } << QByteArray();
        QTest::newRow("table missing") << QStringList { "DROP TABLE trade_details" } << QByteArray();
        QTest::newRow("another program's database")
            << QStringList { "ALTER TABLE trade_details RENAME TO notes", "PRAGMA user_version = 0" }
            << QByteArray();
    }

    void unreadableHistoryIsMovedAside()
    {
        QFETCH(QStringList, statements);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        QCOMPARE(TradeHistory(path).StorePage({ Entry("1001") }), HistoryWrite::Stored);
        QVERIFY(testsupport::RunSql(path, statements));
        const QByteArray unreadable = bytes.isEmpty() ? testsupport::ReadFile(path) : bytes;
        for (int round = 1; round <= 2; ++round) {
            QVERIFY(testsupport::WriteFile(path, unreadable));
            TradeHistory history(path);
            QVERIFY(!history.Find("1001").value);
            QCOMPARE(history.StorePage({ Entry("1002") }), HistoryWrite::Stored);
            const QStringList aside = QDir(dir.path()).entryList({ "history.sqlite.damaged-*" }, QDir::Files);
            QCOMPARE(aside.size(), round);
            for (const QString& name : aside)
                QCOMPARE(testsupport::ReadFile(dir.filePath(name)), unreadable);
        }
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestTradeHistory)
#include "TestTradeHistory.moc"

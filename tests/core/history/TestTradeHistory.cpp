// The trade history: when stored columns stand in for a download, a round
// trip through a real SQLite file, and unreadable files moved aside.

#include "core/history/StoredDetailsPolicy.h"
#include "core/history/TradeHistory.h"
#include "support/TestSupport.h"

#include <QSqlQuery>
#include <algorithm>

namespace {

const QDateTime kFetched(QDate(2026, 12, 7), QTime(15, 30, 0, 250), Qt::UTC);

HistoryEntry Entry(const QString& order, const QStringList& details = QStringList(kHistoryDetailColumns, "x"),
    const QString& status = "交易成功")
{
    return { order, details, status, kFetched };
}

// Runs statements on the SQLite file at path through a connection of its own.
bool RunSql(const QString& path, const QStringList& statements)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test");
        db.setDatabaseName(path);
        ok = db.open() && std::all_of(statements.begin(), statements.end(), [&](auto& sql) {
            return QSqlQuery(db).exec(sql);
        });
    }
    QSqlDatabase::removeDatabase("test");
    return ok;
}

} // namespace

class TestTradeHistory : public QObject {
    Q_OBJECT
private slots:
    void useStoredDetails_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("current");
        QTest::addColumn<bool>("useStored");
        const QString succeeded = "交易成功", closed = "交易关闭";
        QTest::newRow("succeeded, then closed") << succeeded << closed << true;
        QTest::newRow("closed, then succeeded") << closed << succeeded << true;
        QTest::newRow("shipped when stored, succeeded now") << "卖家已发货" << succeeded << false;
        QTest::newRow("succeeded when stored, refunding now") << succeeded << "退款中" << false;
    }

    void useStoredDetails()
    {
        QFETCH(QString, stored);
        QFETCH(QString, current);
        QTEST(UseStoredDetails(stored, current), "useStored");
    }

    void roundTripAcrossInstances()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("data/history.sqlite");
        const QStringList chinese { "张三", "13800000000", "", "浙江省", "杭州市", "西湖区",
            "文三路 100 号\r\n3 幢", "310000", "中通快递", "7300123456789" };
        {
            TradeHistory history(path);
            QVERIFY(history.StorePage(
                { Entry("1001", chinese), Entry("1002", QStringList(kHistoryDetailColumns, QString())) }));
            QVERIFY(!history.StorePage({ Entry("1003"), Entry("1004", chinese.mid(1)) }));
            QVERIFY(!history.Find("1003"));
        }
#ifdef Q_OS_UNIX
        const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
        QCOMPARE(QFile::permissions(path), ownerOnly);
        QCOMPARE(QFile::permissions(dir.filePath("data")), ownerOnly | QFile::ExeOwner | QFile::ExeUser);
#endif
        {
            TradeHistory reopened(path);
            TradeHistory alongside(path);
            QCOMPARE(reopened.Find("1001"), Entry("1001", chinese));
            QCOMPARE(reopened.Find("1002")->details, QStringList(kHistoryDetailColumns, ""));
            const QStringList later(kHistoryDetailColumns, "李四");
            QVERIFY(alongside.StorePage({ Entry("1001", later, "交易关闭") }));
            QCOMPARE(reopened.Find("1001")->details, later);
        }
        // A history whose folder cannot be made is off and touches nothing.
        TradeHistory off(path + "/history.sqlite");
        QVERIFY(!off.IsOpen());
        QVERIFY(!off.StorePage({ Entry("1001") }));
        QCOMPARE(TradeHistory(path).Find("1001")->status, "交易关闭");
    }

    void unreadableHistoryIsMovedAside_data()
    {
        QTest::addColumn<QStringList>("statements"); // run on a history holding trade 1001
        QTest::addColumn<QByteArray>("bytes"); // then written as the whole file, when not empty
        QTemporaryDir dir;
        QVERIFY(TradeHistory(dir.filePath("h")).StorePage({ Entry("1001") }));
        QTest::newRow("not a database") << QStringList() << QByteArray("no database\n").repeated(500);
        QTest::newRow("cut short") << QStringList() << testsupport::ReadFile(dir.filePath("h")).left(4096);
        QTest::newRow("newer schema") << QStringList { "PRAGMA user_version = 2" } << QByteArray();
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
        QVERIFY(TradeHistory(path).StorePage({ Entry("1001") }));
        QVERIFY(RunSql(path, statements));
        const QByteArray unreadable = bytes.isEmpty() ? testsupport::ReadFile(path) : bytes;
        for (int round = 1; round <= 2; ++round) {
            QVERIFY(testsupport::WriteFile(path, unreadable));
            TradeHistory history(path);
            QVERIFY(!history.Find("1001"));
            QVERIFY(history.StorePage({ Entry("1002") }));
            const QStringList aside = QDir(dir.path()).entryList({ "history.sqlite.damaged-*" }, QDir::Files);
            QCOMPARE(aside.size(), round);
            for (const QString& name : aside)
                QCOMPARE(testsupport::ReadFile(dir.filePath(name)), unreadable);
        }
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestTradeHistory)
#include "TestTradeHistory.moc"

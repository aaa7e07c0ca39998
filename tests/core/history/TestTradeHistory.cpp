// The trade history: when stored columns stand in for a download, a round
// trip through a real SQLite file, and unreadable files moved aside.

#include "core/history/StoredDetailsPolicy.h"
#include "core/history/TradeHistory.h"
#include "support/TestSupport.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test");
        db.setDatabaseName(path);
        ok = statements.isEmpty() || db.open();
        QSqlQuery query(db);
        for (const QString& statement : statements)
            ok = ok && query.exec(statement);
    }
    QSqlDatabase::removeDatabase("test");
    return ok;
}

// The permission bits of path, -1 where the platform has none.
int UnixMode(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat info { };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
#else
    Q_UNUSED(path);
    return -1;
#endif
}

} // namespace

class TestTradeHistory : public QObject {
    Q_OBJECT
private slots:
    void useStoredDetails_data();
    void useStoredDetails();
    void roundTripAcrossInstances();
    void unreadableHistoryIsMovedAside_data();
    void unreadableHistoryIsMovedAside();
    void historyWithoutFolderIsOff();
};

void TestTradeHistory::useStoredDetails_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("current");
    QTest::addColumn<bool>("useStored");
    const QString succeeded = "交易成功";
    const QString closed = "交易关闭";
    QTest::newRow("succeeded both times") << succeeded << succeeded << true;
    QTest::newRow("closed both times") << closed << closed << true;
    QTest::newRow("succeeded, then closed") << succeeded << closed << true;
    QTest::newRow("closed, then succeeded") << closed << succeeded << true;
    QTest::newRow("shipped when stored, succeeded now") << "卖家已发货" << succeeded << false;
    QTest::newRow("succeeded when stored, refunding now") << succeeded << "退款中" << false;
    QTest::newRow("waiting both times") << QString("等待买家付款") << "等待买家付款" << false;
    QTest::newRow("nothing stored") << QString() << succeeded << false;
    QTest::newRow("status with a space") << succeeded + " " << succeeded << false;
}

void TestTradeHistory::useStoredDetails()
{
    QFETCH(QString, stored);
    QFETCH(QString, current);
    QTEST(UseStoredDetails(stored, current), "useStored");
}

void TestTradeHistory::roundTripAcrossInstances()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data/history.sqlite");
    const QStringList chinese { "张三", "13800000000", "", "浙江省", "杭州市", "西湖区",
        "文三路 100 号\r\n3 幢", "310000", "中通快递", "7300123456789" };
    const QStringList empty(kHistoryDetailColumns, QString());
    {
        TradeHistory history(path);
        QVERIFY(history.IsOpen());
        QVERIFY(history.StorePage({ Entry("1001", chinese), Entry("1002", empty, "交易关闭") }));
        // One malformed entry and its whole page is refused.
        QVERIFY(!history.StorePage({ Entry("1003"), Entry("1004", chinese.mid(1)) }));
        QVERIFY(!history.StorePage({ Entry("") }));
        QVERIFY(!history.Find("1003"));
    }
    if (UnixMode(path) != -1) {
        QCOMPARE(UnixMode(path), 0600);
        QCOMPARE(UnixMode(dir.filePath("data")), 0700);
    }
    {
        TradeHistory reopened(path);
        TradeHistory alongside(path);
        const std::optional<HistoryEntry> found = reopened.Find("1001");
        QVERIFY(found);
        QCOMPARE(found->details, chinese);
        QCOMPARE(found->status, "交易成功");
        QCOMPARE(found->fetchedAt, kFetched);
        QCOMPARE(reopened.Find("1002")->details, QStringList(kHistoryDetailColumns, ""));
        QVERIFY(!reopened.Find("9999"));
        QVERIFY(
            alongside.StorePage({ Entry("1001", QStringList(kHistoryDetailColumns, "李四"), "交易关闭") }));
        QCOMPARE(reopened.Find("1001")->details, QStringList(kHistoryDetailColumns, "李四"));
    }
    QCOMPARE(TradeHistory(path).Find("1001")->status, "交易关闭");
}

void TestTradeHistory::unreadableHistoryIsMovedAside_data()
{
    // Each starts from a history holding trade 1001.
    QTest::addColumn<QByteArray>("garbage"); // written over the whole file, when not empty
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<int>("cutAt"); // bytes kept of the file, 0 for all
    QTest::newRow("not a database") << QByteArray("no database\n").repeated(500) << QStringList() << 0;
    QTest::newRow("cut short") << QByteArray() << QStringList() << 4096;
    QTest::newRow("newer schema") << QByteArray() << QStringList { "PRAGMA user_version = 2" } << 0;
    QTest::newRow("table missing") << QByteArray() << QStringList { "DROP TABLE trade_details" } << 0;
    QTest::newRow("another program's database")
        << QByteArray()
        << QStringList { "DROP TABLE trade_details", "CREATE TABLE notes (text)", "PRAGMA user_version = 0" }
        << 0;
}

void TestTradeHistory::unreadableHistoryIsMovedAside()
{
    QFETCH(QByteArray, garbage);
    QFETCH(QStringList, statements);
    QFETCH(int, cutAt);
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    QVERIFY(TradeHistory(path).StorePage({ Entry("1001") }));
    QVERIFY(RunSql(path, statements));
    if (!garbage.isEmpty() || cutAt > 0)
        QVERIFY(testsupport::WriteFile(path, cutAt > 0 ? testsupport::ReadFile(path).left(cutAt) : garbage));
    const QByteArray unreadable = testsupport::ReadFile(path);
    QVERIFY(!unreadable.isEmpty());

    // A second unreadable file goes aside too, beside the first.
    for (int round = 1; round <= 2; ++round) {
        if (round == 2)
            QVERIFY(testsupport::WriteFile(path, unreadable));
        TradeHistory history(path);
        QVERIFY(history.IsOpen());
        QVERIFY(!history.Find("1001"));
        QVERIFY(history.StorePage({ Entry("1002") }));
        QVERIFY(history.Find("1002"));
        const QStringList aside = QDir(dir.path()).entryList({ "history.sqlite.damaged-*" }, QDir::Files);
        QCOMPARE(aside.size(), round);
        for (const QString& name : aside)
            QCOMPARE(testsupport::ReadFile(dir.filePath(name)), unreadable);
    }
}

void TestTradeHistory::historyWithoutFolderIsOff()
{
    QTemporaryDir dir;
    QVERIFY(testsupport::WriteFile(dir.filePath("data"), "a file where the folder belongs"));
    TradeHistory history(dir.filePath("data/history.sqlite"));
    QVERIFY(!history.IsOpen());
    QVERIFY(!history.StorePage({ Entry("1001") }));
    QVERIFY(!history.Find("1001"));
    QCOMPARE(testsupport::ReadFile(dir.filePath("data")), "a file where the folder belongs");
}

LUMETRA_TEST_GUILESS_MAIN(TestTradeHistory)
#include "TestTradeHistory.moc"

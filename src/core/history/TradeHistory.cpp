#include "TradeHistory.h"

#include "core/base/Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>

namespace {

// Version 3 of the file: one row per order number, the detail columns in
// the grid's order (the buyer's message and the seller's memo last), the
// list status when they were fetched, when that was (UTC, ISO 8601) and the
// reading of the page that gave them (version 1 files gain that column,
// their rows counted as the first reading; version 2 files gain the two
// note columns, empty, their rows of an earlier reading). Every statement
// reads and writes the columns in this order.
const char* const kCreateTable = "CREATE TABLE trade_details (order_number TEXT PRIMARY KEY NOT NULL, "
                                 "recipient TEXT NOT NULL, mobile TEXT NOT NULL, telephone TEXT NOT NULL, "
                                 "province TEXT NOT NULL, city TEXT NOT NULL, district TEXT NOT NULL, "
                                 "address TEXT NOT NULL, postcode TEXT NOT NULL, company TEXT NOT NULL, "
                                 "waybill TEXT NOT NULL, buyer_message TEXT NOT NULL DEFAULT '', "
                                 "seller_memo TEXT NOT NULL DEFAULT '', status TEXT NOT NULL, "
                                 "fetched_at TEXT NOT NULL, reading INTEGER NOT NULL DEFAULT 1)";
const char* const kAddReadingColumn = "ALTER TABLE trade_details ADD COLUMN reading INTEGER NOT NULL DEFAULT 1";
const char* const kAddNoteColumns[]
    = { "ALTER TABLE trade_details ADD COLUMN buyer_message TEXT NOT NULL DEFAULT ''",
          "ALTER TABLE trade_details ADD COLUMN seller_memo TEXT NOT NULL DEFAULT ''" };
const char* const kAllColumns = "order_number, recipient, mobile, telephone, province, city, district, "
                                "address, postcode, company, waybill, buyer_message, seller_memo, status, "
                                "fetched_at, reading";
constexpr auto kOwnerOnlyFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr auto kOwnerOnlyFolder = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
// SQLite's primary result codes for a file another connection holds.
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;

// Binds a text as text: a null QString would be bound as SQL NULL.
QString NotNull(const QString& text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

// Creates what is missing owner-only: the folder and an empty file, which
// SQLite takes as a new database and whose permissions it gives its journal.
// An existing file loses any group and other access.
bool PrepareOwnerOnlyFile(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir(folder).exists()
        && !(QDir().mkpath(folder) && QFile::setPermissions(folder, kOwnerOnlyFolder))) {
        qCWarning(lcHistory) << "cannot create the folder" << folder;
        return false;
    }
    if (QFileInfo(path).isDir()) {
        qCWarning(lcHistory) << path << "is a folder, not a trade history";
        return false;
    }
    QFile file(path);
    if (file.exists()) {
        if (!file.setPermissions(kOwnerOnlyFile))
            qCWarning(lcHistory) << "cannot make" << path << "owner-only:" << file.errorString();
        return true;
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kOwnerOnlyFile)) {
        qCWarning(lcHistory) << "cannot create" << path << file.errorString();
        return false;
    }
    return true;
}

bool HeldByAnotherConnection(const QSqlError& error)
{
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == kSqliteBusy || code == kSqliteLocked;
}

} // namespace

QString DefaultTradeHistoryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
        + QStringLiteral("/history.sqlite");
}

TradeHistory::TradeHistory(const QString& path)
    : path_(path)
    , connectionName_(QStringLiteral("lumetra-history-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_).setDatabaseName(path_);
    OpenResult result = OpenFile();
    if (result == OpenResult::Unreadable)
        result = MoveAside() ? OpenFile() : OpenResult::Off;
    open_ = result == OpenResult::Usable;
    if (!open_) {
        Close();
        qCWarning(lcHistory) << "trade history off for this run:" << path_;
    }
}

TradeHistory::~TradeHistory()
{
    Close();
    QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase TradeHistory::Database() const
{
    return QSqlDatabase::database(connectionName_, false);
}

void TradeHistory::Close()
{
    Database().close();
}

TradeHistory::OpenResult TradeHistory::OpenFile()
{
    QSqlDatabase db = Database();
    if (!db.isValid()) {
        qCWarning(lcHistory) << "Qt's SQLite driver (QSQLITE) is not installed";
        return OpenResult::Off;
    }
    if (!PrepareOwnerOnlyFile(path_))
        return OpenResult::Off;
    // A file another instance holds is left alone; anything else that fails
    // here means the file cannot serve as a history.
    const auto failed = [this](const char* what, const QSqlError& error) {
        qCWarning(lcHistory) << path_ << what << error.text();
        return HeldByAnotherConnection(error) ? OpenResult::Off : OpenResult::Unreadable;
    };
    if (!db.open())
        return failed("cannot be opened:", db.lastError());
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA quick_check")) || !query.next())
        return failed("cannot be checked:", query.lastError());
    if (query.value(0).toString() != QStringLiteral("ok")) {
        qCWarning(lcHistory) << path_ << "is damaged:" << query.value(0).toString();
        return OpenResult::Unreadable;
    }
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return failed("has no readable version:", query.lastError());
    const int version = query.value(0).toInt();
    if (version > kTradeHistorySchemaVersion) {
        qCWarning(lcHistory) << path_ << "was written by a newer version, schema" << version;
        return OpenResult::Unreadable;
    }
    if (version == 0) {
        // A new file, or an SQLite file that is not a trade history.
        if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !query.next())
            return failed("cannot be read:", query.lastError());
        if (query.value(0).toInt() != 0) {
            qCWarning(lcHistory) << path_ << "is not a trade history";
            return OpenResult::Unreadable;
        }
        return SetUpSchema() ? OpenResult::Usable : OpenResult::Off;
    }
    if (version < kTradeHistorySchemaVersion) {
        // The rows stay; read by an earlier reading, they are not used, and
        // each is replaced when its trade is downloaded again.
        bool upgraded = db.transaction();
        if (upgraded && version == 1)
            upgraded = query.exec(QString::fromLatin1(kAddReadingColumn));
        for (const char* statement : kAddNoteColumns)
            upgraded = upgraded && query.exec(QString::fromLatin1(statement));
        if (!(upgraded
                && query.exec(QStringLiteral("PRAGMA user_version = %1").arg(kTradeHistorySchemaVersion))
                && db.commit())) {
            const QSqlError error = query.lastError().isValid() ? query.lastError() : db.lastError();
            db.rollback();
            return failed("cannot be brought to this version:", error);
        }
    }
    if (!query.exec(QStringLiteral("SELECT %1 FROM trade_details LIMIT 0").arg(QLatin1String(kAllColumns))))
        return failed("lacks its table:", query.lastError());
    return OpenResult::Usable;
}

bool TradeHistory::SetUpSchema()
{
    QSqlDatabase db = Database();
    QSqlQuery query(db);
    if (db.transaction() && query.exec(QString::fromLatin1(kCreateTable))
        && query.exec(QStringLiteral("PRAGMA user_version = %1").arg(kTradeHistorySchemaVersion))
        && db.commit())
        return true;
    qCWarning(lcHistory) << "cannot set up" << path_ << query.lastError().text() << db.lastError().text();
    db.rollback();
    return false;
}

bool TradeHistory::MoveAside()
{
    Close();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = path_ + QStringLiteral(".damaged-") + stamp;
    QString target = base;
    for (int number = 2; QFileInfo::exists(target); ++number)
        target = base + QLatin1Char('-') + QString::number(number);
    // Never over an existing file: rename refuses one.
    if (!QFile::rename(path_, target)) {
        qCWarning(lcHistory) << "cannot move" << path_ << "aside to" << target;
        return false;
    }
    qCWarning(lcHistory) << "moved the unreadable trade history aside to" << target
                         << "and started a new one";
    return true;
}

StoredEntry TradeHistory::Find(const QString& orderNumber) const
{
    if (!open_)
        return StoredEntry::Ok(std::nullopt);
    QSqlQuery query(Database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM trade_details WHERE order_number = ? AND reading = ?")
                      .arg(QLatin1String(kAllColumns)));
    query.addBindValue(orderNumber);
    query.addBindValue(kDetailReadingVersion);
    if (!query.exec()) {
        qCWarning(lcHistory) << "cannot read" << orderNumber
                             << "from the trade history:" << query.lastError().text();
        return StoredEntry::Failed(query.lastError().text());
    }
    if (!query.next())
        return StoredEntry::Ok(std::nullopt);
    HistoryEntry entry;
    entry.orderNumber = query.value(0).toString();
    for (int column = 1; column <= kHistoryDetailColumns; ++column)
        entry.details << query.value(column).toString();
    entry.status = query.value(kHistoryDetailColumns + 1).toString();
    entry.fetchedAt
        = QDateTime::fromString(query.value(kHistoryDetailColumns + 2).toString(), Qt::ISODateWithMs);
    return StoredEntry::Ok(entry);
}

bool TradeHistory::ShippingSectionSeen() const
{
    if (!open_)
        return false;
    QSqlQuery query(Database());
    if (!query.exec(QStringLiteral("SELECT 1 FROM trade_details LIMIT 1"))) {
        qCWarning(lcHistory) << "cannot read" << path_ << query.lastError().text();
        return false;
    }
    return query.next();
}

HistoryWrite TradeHistory::StorePage(const QList<HistoryEntry>& entries)
{
    if (!open_)
        return HistoryWrite::Off;
    for (const HistoryEntry& entry : entries) {
        if (entry.orderNumber.isEmpty() || entry.details.size() != kHistoryDetailColumns) {
            qCWarning(lcHistory) << "page not stored: trade" << entry.orderNumber << "has"
                                 << entry.details.size() << "detail columns";
            return HistoryWrite::Malformed;
        }
    }
    QSqlDatabase db = Database();
    QSqlQuery query(db);
    bool ok = db.transaction()
        && query.prepare(
            QStringLiteral("INSERT OR REPLACE INTO trade_details (%1) VALUES (?%2)")
                .arg(QLatin1String(kAllColumns), QStringLiteral(", ?").repeated(kHistoryDetailColumns + 3)));
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    for (qsizetype i = 0; ok && i < entries.size(); ++i) {
        const HistoryEntry& entry = entries[i];
        query.addBindValue(entry.orderNumber);
        for (const QString& detail : entry.details)
            query.addBindValue(NotNull(detail));
        query.addBindValue(NotNull(entry.status));
        query.addBindValue(
            entry.fetchedAt.isValid() ? entry.fetchedAt.toUTC().toString(Qt::ISODateWithMs) : now);
        query.addBindValue(kDetailReadingVersion);
        ok = query.exec();
    }
    query.finish();
    if (ok && db.commit())
        return HistoryWrite::Stored;
    qCWarning(lcHistory) << "page of" << entries.size() << "trades not stored:" << query.lastError().text()
                         << db.lastError().text();
    db.rollback();
    return HistoryWrite::Failed;
}

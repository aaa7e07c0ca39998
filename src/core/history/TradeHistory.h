#pragma once
// The trade history: the detail columns (recipient to memo) of trades
// already fetched, kept between runs in an SQLite file so that a trade which
// has ended need not have its detail page downloaded again on every run.
//
// It is a cache and nothing more: deleting the file loses no data, so the
// history never stands in the way of a walk. A file that cannot be read (not
// a database, damaged, missing its table, written by a newer version) is
// moved aside under a new name, never overwritten or deleted, and a new one
// is started; if even that fails the history is off and every call does
// nothing. Each step that goes wrong is logged under lumetra.history.
//
// The file is readable by its owner only. Each instance has its own database
// connection, to be used from the thread that created it.

#include "core/downloads/StoredDetails.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QSqlDatabase;

// The schema version this build writes and reads (PRAGMA user_version); a file with a
// higher one is moved aside rather than guessed at.
inline constexpr int kTradeHistorySchemaVersion = 3;
// How this build reads a detail page into its columns. A row stored by an
// earlier reading is not used: its trade is downloaded again and the row
// replaced. Raised whenever the reading changes what a page gives.
inline constexpr int kDetailReadingVersion = 3;
// history.sqlite in the per-user data folder, beside the recovery folder.
// Needs the application name set.
QString DefaultTradeHistoryPath();

class TradeHistory final : public StoredDetails {
public:
    explicit TradeHistory(const QString& path);
    ~TradeHistory();
    TradeHistory(const TradeHistory&) = delete;
    TradeHistory& operator=(const TradeHistory&) = delete;

    // False when no usable file could be opened or created: the history is
    // off for this instance and every call below does nothing.
    bool IsOpen() const override { return open_; }
    QString FilePath() const override { return path_; }

    // The stored entry of one order number; none when there is none or the
    // history is off; the reason (also logged) when the read failed.
    StoredEntry Find(const QString& orderNumber) const override;

    // Whether some detail page of this shop has ever had its shipping
    // section: only trades read from that section are stored, so any row
    // says so. False when the history is off.
    bool ShippingSectionSeen() const override;

    // Stores one page's entries in one transaction, each replacing what was
    // stored under its order number. All or nothing: an entry without an
    // order number or not exactly kHistoryDetailColumns columns stores none.
    [[nodiscard]] HistoryWrite StorePage(const QList<HistoryEntry>& entries) override;

private:
    enum class OpenResult {
        Usable,
        Unreadable, // moved aside, then a new file
        Off, // left alone: no driver, no folder, or held by another instance
    };

    QSqlDatabase Database() const;
    OpenResult OpenFile();
    bool SetUpSchema();
    bool MoveAside();
    void Close();

    QString path_;
    QString connectionName_;
    bool open_ = false;
};

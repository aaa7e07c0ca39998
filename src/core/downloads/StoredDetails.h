#pragma once
// Where the detail pass finds the columns of trades fetched in earlier runs
// and keeps those it downloads: the trade history (TradeHistory.h) in a run,
// nothing in a run without one. The pass sees only this, so the downloads
// sit below the history that stores them.

#include "core/base/Done.h"
#include "core/trade/ColumnTable.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The grid's columns read from the detail page (收件人 to 单号, 买家留言 and
// 卖家备注), in order.
inline constexpr int kHistoryDetailColumns = kDetailColumnCount;

struct HistoryEntry {
    QString orderNumber;
    // The detail columns exactly as the trade row received them.
    QStringList details;
    // The trade's status in the list when the columns were fetched.
    QString status;
    // When they were fetched, in UTC (StorePage takes "now" for an invalid one).
    QDateTime fetchedAt;

    bool operator==(const HistoryEntry&) const = default;
};

// How storing a page of entries ended; all or nothing in every case.
enum class HistoryWrite {
    Stored,
    Off, // the history is off: nothing stored
    Malformed, // an entry without an order number or all detail columns (logged)
    Failed, // the database refused the write (logged)
};

// A stored entry as Find reads it: none is an everyday answer (a trade not
// seen before), told apart from a read that failed.
using StoredEntry = DoneWith<std::optional<HistoryEntry>>;

class StoredDetails {
public:
    virtual ~StoredDetails() = default;

    // False when nothing can be read or stored: every trade is downloaded.
    virtual bool IsOpen() const = 0;
    // Where the columns are kept, for what the user is told.
    virtual QString FilePath() const = 0;
    // The stored entry of one order number, none when nothing is stored
    // under it (or the store is off); the reason when it cannot be read.
    virtual StoredEntry Find(const QString& orderNumber) const = 0;
    // Whether some detail page of this shop has ever had its shipping section.
    virtual bool ShippingSectionSeen() const = 0;
    // Stores one page's entries, all or nothing.
    [[nodiscard]] virtual HistoryWrite StorePage(const QList<HistoryEntry>& entries) = 0;
};

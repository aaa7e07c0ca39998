#pragma once
// How the recipient merge folds each column of the trade grid.

#include "core/trade/ColumnTable.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <array>

// Rows merge when all of their key columns' texts are equal (exactly, empty
// included), the recipient is not empty and the trade still ships.
consteval int MergeKeyCount()
{
    int count = 0;
    for (const ColumnFacts& facts : kTradeColumns)
        count += facts.merge == MergeMode::Key ? 1 : 0;
    return count;
}
inline constexpr auto kMergeKeyColumns = [] {
    std::array<int, MergeKeyCount()> keys {};
    size_t next = 0;
    for (const ColumnFacts& facts : kTradeColumns)
        if (facts.merge == MergeMode::Key)
            keys[next++] = facts.column;
    return keys;
}();
static_assert(kMergeKeyColumns[0] == ColRecipient, "the recipient leads the key");
inline constexpr int kRecipientKeyIndex = 0;

// What a join puts between the values it gathers in one cell.
inline constexpr QStringView kJoinedLineBreak = u"\r\n";

// Columns 0 and 1 (strip, sequence) are never combined.
inline constexpr int kFirstMergedColumn = ColOrderNumber;

// A row merges with others only when its recipient is known and its trade
// still ships. An empty recipient is a trade whose address could not be
// read: folding all of those together would ship one buyer's order to
// another's address. A closed trade folded into a live shipment would list
// its goods for the parcel and hide it from the closed-trade filter; an
// unpaid one would have its goods shipped before they are paid for, and a
// status the tool does not know says nothing about either.
bool CanMergeRow(const QString& recipient, const QString& status);

// The rule of a grid column; columns beyond the trade grid's are untouched.
MergeMode MergeModeOf(int col);

// A further item's order number without its trailing "_1", so that it
// reads as the trade's number; "…_10" and "…_2" stay as they are.
QString WithoutFirstItemSuffix(const QString& orderNumber);

// NumberText(LeadingNumber(a) + LeadingNumber(b)).
QString SumText(const QString& a, const QString& b);

// height × factor, kept within the grid's range.
int ScaledRowHeight(int height, qsizetype factor);

// A join cell being built: a value is appended on a new line unless it is
// empty or equals a whole line of the text. Only whole lines count: 9.9 is
// a price of its own beside 19.9, and so is 帽 beside 帽子.
class JoinedText {
public:
    explicit JoinedText(const QString& first);

    void Add(const QString& value);
    const QString& Text() const { return text_; }

private:
    QString text_;
    QSet<QString> lines_;
};

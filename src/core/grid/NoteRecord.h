#pragma once
// What the hidden note column of the trade grid holds: one line per trade
// that has a buyer's message or a seller's memo, its order number, the
// message and the memo. The shown "买家留言" and "卖家备注" columns are
// joined by the merge like any text column, which loses whose text is
// whose; the packing slip of a merged parcel needs each trade's own, so
// each line names its trade and the merge's line-wise join keeps it.

#include <QString>
#include <QVector>

class TradeGrid;

struct TradeNotes {
    QString order; // the trade's order number
    QString message; // 买家留言, line breaks as CR LF
    QString memo; // 卖家备注

    bool IsEmpty() const { return message.isEmpty() && memo.isEmpty(); }
    bool operator==(const TradeNotes&) const = default;
};

// One record line: line breaks and TABs inside the texts are escaped, so
// the line stays one line of the cell.
QString NoteRecordLine(const TradeNotes& notes);
// The records of a cell; lines of another shape are skipped.
QVector<TradeNotes> NoteRecordsOf(const QString& cell);

// Puts a trade's message and memo into its row: the shown columns and the
// record line (empty when the trade has neither).
void WriteRowNotes(TradeGrid& grid, int row, const TradeNotes& notes);

// The shown columns of the row as its trade's notes; the record line
// follows them (a row whose columns came from elsewhere, such as the trade
// history).
void RefreshNoteRecord(TradeGrid& grid, int row, const QString& order);

// Whether the row holds a message or a memo: the mark on its row in the
// window.
bool RowHasNotes(const TradeGrid& grid, int row);

#pragma once
// Which trades the grid's rows hold. A row holds one trade, a further item
// of one ("123_1"), or, once merged, several: the merge joins their order
// numbers line by line in one cell. Whatever names a trade (a finding, the
// status line's counts) finds its row through these, merged or not.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

class TradeGrid;

// The trades an order cell names, each once, in order: "123", "123_1" and
// the lines of a merged cell ("123\r\n456", or "123 / 456" as the documents
// write it) give their trades' own numbers.
QStringList TradesOfOrderCell(const QString& cell);

// Each trade of the data rows and the first row that holds it.
QHash<QString, int> TradeRowIndex(const TradeGrid& grid);

// The trades the data rows hold.
QSet<QString> TradesInGrid(const TradeGrid& grid);

// What the grid holds, for the window's status line.
struct GridTally {
    int trades = 0; // distinct trades, counted once however many rows or merges hold them
    int rows = 0; // data rows
    int mergedRows = 0; // rows that hold more than one trade
};
GridTally TallyGrid(const TradeGrid& grid);

#include "TradeRows.h"

#include "GridSteps.h"
#include "TradeGrid.h"
#include "core/trade/OrderNumber.h"
#include "core/trade/TradeColumns.h"

#include <QRegularExpression>

#include <algorithm>

QStringList TradesOfOrderCell(const QString& cell)
{
    // A line break or a slash (with its blanks) separates the orders of a
    // merged cell; an order number itself is digits and "_".
    static const QRegularExpression separators(QStringLiteral("\\s*[\\r\\n/、]+\\s*"));
    // Most cells hold one order: no pattern needed (the grid's tints ask
    // for every cell they paint).
    const auto firstSeparator = std::find_if(cell.cbegin(), cell.cend(),
        [](QChar c) { return c == u'\n' || c == u'\r' || c == u'/' || c == u'、'; });
    if (firstSeparator == cell.cend()) {
        const QString trade = TradeOfOrder(cell.trimmed());
        return trade.isEmpty() ? QStringList() : QStringList { trade };
    }
    QStringList trades;
    for (const QString& order : cell.split(separators, Qt::SkipEmptyParts)) {
        const QString trade = TradeOfOrder(order.trimmed());
        if (!trade.isEmpty() && !trades.contains(trade))
            trades.append(trade);
    }
    return trades;
}

QHash<QString, int> TradeRowIndex(const TradeGrid& grid)
{
    QHash<QString, int> rows;
    rows.reserve(grid.Rows());
    for (int row = grid.FixedRows(); row < grid.Rows(); ++row)
        for (const QString& trade : TradesOfOrderCell(CellOrEmpty(grid, row, ColOrderNumber)))
            rows.insert(trade, rows.value(trade, row));
    return rows;
}

QSet<QString> TradesInGrid(const TradeGrid& grid)
{
    QSet<QString> trades;
    for (int row = grid.FixedRows(); row < grid.Rows(); ++row)
        for (const QString& trade : TradesOfOrderCell(CellOrEmpty(grid, row, ColOrderNumber)))
            trades.insert(trade);
    return trades;
}

GridTally TallyGrid(const TradeGrid& grid)
{
    GridTally tally;
    QSet<QString> trades;
    for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
        ++tally.rows;
        const QStringList held = TradesOfOrderCell(CellOrEmpty(grid, row, ColOrderNumber));
        if (held.size() > 1)
            ++tally.mergedRows;
        for (const QString& trade : held)
            trades.insert(trade);
    }
    tally.trades = int(trades.size());
    return tally;
}

#pragma once
// The sold-items list parse in its plainest form, step by step as it reads:
// the table cut with CutAtMarker, split with QString::split, every piece
// cleaned with StripBetween, QString::remove and TrimBlanks, every number
// read and written back. Tests hold ParseListTable to it, and the parser
// benchmark measures against it.

#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/text/PieceText.h"
#include "core/text/TextHelpers.h"

#include <QRegularExpression>

namespace plainlist {

inline QString CleanPiece(QString piece)
{
    StripBetween(piece, QStringLiteral("<"), QStringLiteral(">"), QString());
    piece.remove(QStringLiteral("\r\n"));
    return TrimBlanks(piece);
}

inline QString Number(const QString& cell)
{
    return NumberText(LeadingNumber(TrimBlanks(cell)));
}

inline QString NextOrderNumber(const QString& previous)
{
    const qsizetype firstMark = previous.indexOf(QLatin1Char('_'));
    if (firstMark < 0)
        return previous + QStringLiteral("_1");
    const double next = LeadingNumber(previous.mid(previous.lastIndexOf(QLatin1Char('_')) + 1)) + 1;
    return previous.left(firstMark) + QLatin1Char('_') + NumberText(next);
}

inline void WriteItemCells(TradeGrid& grid, int row, const QStringList& cells)
{
    QString title = TrimBlanks(cells.at(0)) + QLatin1Char(' ');
    grid.SetTextMatrix(row, ColItem, TakeFirstWord(title));
    grid.SetTextMatrix(row, ColUnitPrice, Number(cells.at(1)));
    grid.SetTextMatrix(row, ColQuantity, Number(cells.at(2)));
    grid.SetTextMatrix(
        row, ColAfterSales, TrimBlanks(QString(cells.at(3)).remove(QStringLiteral("投诉维权"))));
}

// Reads the table's trades into a grid that is set up and holds no blank
// last row, as ParseListTable does.
inline void ParseListTable(TradeGrid& grid, QString table)
{
    CutAtMarker(table, QStringLiteral("</TR>"), false);
    CutAtMarker(table, QStringLiteral("<TBODY"), true);
    CutAtMarker(table, QStringLiteral(">"), true);
    int lastTakenRow = 0;
    int itemTarget = -1;
    const auto appendRow = [&grid] {
        grid.SetRows(grid.Rows() + 1);
        grid.SetTextMatrix(grid.Rows() - 1, ColSequence, QString::number(grid.Rows() - grid.FixedRows()));
        return grid.Rows() - 1;
    };
    for (const QString& rowText : table.split(QStringLiteral("</TR>"))) {
        QStringList cells = rowText.split(QStringLiteral("</TD>"));
        for (QString& cell : cells)
            cell = CleanPiece(cell);
        const int last = grid.Rows() - 1;
        if (cells.size() == 2 && cells.at(0).contains(QStringLiteral("订单编号"))) {
            lastTakenRow = 0;
            itemTarget = -1;
            QString cell = cells.at(0);
            CutAtMarker(cell, QStringLiteral("订单编号："), true);
            static const QRegularExpression blanks(
                QStringLiteral("^(?:\\s|&nbsp;)*"), QRegularExpression::UseUnicodePropertiesOption);
            cell.remove(blanks);
            QString order;
            while (!cell.isEmpty() && cell.at(0) >= u'0' && cell.at(0) <= u'9') {
                order += cell.at(0);
                cell.remove(0, 1);
            }
            CutAtMarker(cell, QStringLiteral("成交时间："), true);
            cell.remove(blanks);
            if (order.isEmpty() || grid.FindOrderRow(order) >= 0)
                continue;
            itemTarget = appendRow();
            grid.SetTextMatrix(itemTarget, ColOrderNumber, order);
            grid.SetTextMatrix(itemTarget, ColTime, TrimBlanks(cell));
        } else if (cells.size() == 9 && itemTarget == last && grid.TextMatrix(last, ColItem).isEmpty()) {
            WriteItemCells(grid, last, cells);
            QString buyer = cells.at(4);
            grid.SetTextMatrix(last, ColBuyer, TakeFirstWord(buyer));
            QString rest = TrimBlanks(buyer);
            grid.SetTextMatrix(last, ColName, TrimBlanks(CutAtMarker(rest, QStringLiteral("旺旺"), true)));
            // The status: the cell up to its first blank of any kind, without
            // a "详情" link that follows it directly.
            QString status = TrimBlanks(cells.at(5)).replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
            status = status.replace(QChar::Nbsp, QLatin1Char(' ')).section(QLatin1Char(' '), 0, 0);
            if (status.endsWith(QStringLiteral("详情")))
                status.chop(2);
            grid.SetTextMatrix(last, ColStatus, status);
            grid.SetTextMatrix(last, ColAmount, Number(cells.at(6)));
            grid.SetTextMatrix(last, ColRating, TrimBlanks(cells.at(7)));
            lastTakenRow = last;
        } else if (cells.size() == 5 && lastTakenRow != 0 && lastTakenRow == last) {
            const int row = appendRow();
            grid.SetTextMatrix(row, ColOrderNumber, NextOrderNumber(grid.TextMatrix(last, ColOrderNumber)));
            grid.SetTextMatrix(row, ColTime, grid.TextMatrix(last, ColTime));
            WriteItemCells(grid, row, cells);
            for (const int col : { int(ColBuyer), int(ColName), int(ColStatus), int(ColRating) })
                grid.SetTextMatrix(row, col, grid.TextMatrix(last, col));
            lastTakenRow = row;
        }
    }
}

} // namespace plainlist

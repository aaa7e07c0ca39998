#pragma once
// What the tool should extract from the demo marketplace's shop, computed
// from the shop's truth dump (--dump-truth) independently of the parsers.

#include "core/text/TextHelpers.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringList>

namespace demotruth {

// A list cell gives its first blank-delimited word.
inline QString FirstWord(const QString& text)
{
    return text.trimmed().section(QLatin1Char(' '), 0, 0);
}

// A price, quantity or amount as the grid keeps it.
inline QString Number(const QString& text)
{
    return NumberText(LeadingNumber(text));
}

// Columns 13-22 as a trade's address line reads: province, city and
// district begin the street, with or without blanks between them (the shop
// names a province with 省 or 自治区, or by its first two characters as
// municipalities are, then a city with 市, then a district with 区), the
// rest is the address; pieces between the telephone and the
// postcode form the street.
// A line of four pieces has no postcode. A trade whose page has no shipping
// data keeps every column empty. A trade of an everyday address form gives
// its columns 13-20 itself.
inline QStringList ExpectedDetails(const QJsonObject& trade)
{
    if (!trade.value(QStringLiteral("shippingData")).toBool(true))
        return QStringList(10, QString());
    const QString dash = QStringLiteral("—");
    if (trade.contains(QStringLiteral("addressCells"))) {
        QStringList cells;
        for (const QJsonValue& cell : trade.value(QStringLiteral("addressCells")).toArray())
            cells.append(cell.toString());
        return cells
            + QStringList { trade.value(QStringLiteral("company")).toString().remove(dash),
                  trade.value(QStringLiteral("waybill")).toString().remove(dash) };
    }
    QStringList pieces;
    for (const QJsonValue& piece : trade.value(QStringLiteral("addressPieces")).toArray())
        pieces.append(piece.toString().trimmed());
    const QString street
        = pieces.size() == 4 ? pieces.at(3) : pieces.mid(3, pieces.size() - 4).join(QString());
    static const QRegularExpression places(
        QStringLiteral("^([^ ]+?(?:省|自治区)|[^ ]{2}) ?([^ ]+?市) ?([^ ]+?区) ?(.*)$"));
    const QRegularExpressionMatch match = places.match(street);
    return { pieces.value(0), pieces.value(1), pieces.value(2),
        match.captured(1).remove(QStringLiteral("省")), match.captured(2), match.captured(3),
        match.hasMatch() ? match.captured(4) : street, pieces.size() >= 5 ? pieces.last() : QString(),
        trade.value(QStringLiteral("company")).toString().remove(dash),
        trade.value(QStringLiteral("waybill")).toString().remove(dash) };
}

// The grid rows (columns 1-22) the shop's trades give, one per item; total
// gets the sum of their amounts.
inline QList<QStringList> ExpectedRows(const QJsonArray& trades, bool dropClosed, double* total)
{
    QList<QStringList> rows;
    *total = 0;
    for (const QJsonValue& value : trades) {
        const QJsonObject trade = value.toObject();
        const QString status = FirstWord(trade.value(QStringLiteral("status")).toString());
        if (dropClosed && status == QStringLiteral("交易关闭"))
            continue;
        *total += LeadingNumber(trade.value(QStringLiteral("amount")).toString());
        const QString order = trade.value(QStringLiteral("orderNumber")).toString();
        const QJsonArray items = trade.value(QStringLiteral("items")).toArray();
        for (int i = 0; i < items.size(); ++i) {
            const QJsonObject item = items.at(i).toObject();
            QStringList row { QString::number(rows.size() + 1),
                i == 0 ? order : order + QStringLiteral("_%1").arg(i), trade.value(QStringLiteral("time")).toString(),
                FirstWord(item.value(QStringLiteral("title")).toString()),
                Number(item.value(QStringLiteral("price")).toString()),
                QString::number(item.value(QStringLiteral("quantity")).toInt()),
                item.value(QStringLiteral("afterSales")).toString().trimmed(),
                trade.value(QStringLiteral("buyer")).toString(), trade.value(QStringLiteral("name")).toString().trimmed(),
                status, i == 0 ? Number(trade.value(QStringLiteral("amount")).toString()) : QString(),
                trade.value(QStringLiteral("rating")).toString().trimmed() };
            row += ExpectedDetails(trade);
            rows.append(row);
        }
    }
    return rows;
}

} // namespace demotruth

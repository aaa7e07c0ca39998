#pragma once
// Trade rows shaped like the marketplace's: long order numbers, a second
// item row for every third trade, Chinese titles and addresses, statuses
// and ratings from small sets.

#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"

#include <QRandomGenerator>
#include <QStringList>
#include <QVector>

namespace gridbench {

inline QString OrderNumber(int trade)
{
    return QStringLiteral("38%1").arg(qint64(trade) * 7919 + 1000000000000, 16, 10, QLatin1Char('0'));
}

inline QStringList TradeTexts(int trade, QRandomGenerator& random)
{
    static const QString statuses[] = { QStringLiteral("交易成功"), QStringLiteral("卖家已发货"),
        QStringLiteral("交易关闭"), QStringLiteral("买家已付款") };
    static const QString provinces[] = { QStringLiteral("浙江省"), QStringLiteral("广东省"),
        QStringLiteral("北京"), QStringLiteral("四川省"), QStringLiteral("江苏省") };
    QStringList cells(kTradeGridCols);
    cells[ColOrderNumber] = OrderNumber(trade);
    cells[ColTime] = QStringLiteral("2024-%1-%2 %3:%4:05")
                         .arg(1 + trade % 12, 2, 10, QLatin1Char('0'))
                         .arg(1 + trade % 28, 2, 10, QLatin1Char('0'))
                         .arg(trade % 24, 2, 10, QLatin1Char('0'))
                         .arg(trade % 60, 2, 10, QLatin1Char('0'));
    cells[ColItem] = QStringLiteral("夏季新款纯棉短袖T恤男士宽松圆领半袖 %1号").arg(random.bounded(400));
    cells[ColUnitPrice] = QStringLiteral("%1.%2").arg(random.bounded(10, 300)).arg(random.bounded(10, 99));
    cells[ColQuantity] = QString::number(random.bounded(1, 4));
    cells[ColBuyer] = QStringLiteral("买家%1").arg(random.bounded(5000));
    cells[ColName] = QStringLiteral("张%1").arg(random.bounded(100));
    cells[ColStatus] = statuses[random.bounded(4)];
    cells[ColAmount] = QStringLiteral("%1.00").arg(random.bounded(10, 900));
    cells[ColRating] = random.bounded(2) ? QStringLiteral("双方已评") : QStringLiteral("需评价");
    cells[ColRecipient] = QStringLiteral("李%1").arg(random.bounded(300));
    cells[ColMobile] = QStringLiteral("13%1").arg(random.bounded(100000000, 999999999));
    cells[ColProvince] = provinces[random.bounded(5)];
    cells[ColCity] = QStringLiteral("杭州市");
    cells[ColDistrict] = QStringLiteral("西湖区");
    cells[ColAddress] = QStringLiteral("文三路%1号 %2幢%3室")
                            .arg(random.bounded(999))
                            .arg(random.bounded(30))
                            .arg(random.bounded(2000));
    cells[ColPostcode] = QStringLiteral("310012");
    cells[ColCompany] = QStringLiteral("圆通速递");
    cells[ColWaybill] = QString::number(random.bounded(100000000, 999999999)) + QStringLiteral("88");
    return cells;
}

// Texts of `count` trades, made before any timing starts.
inline QVector<QStringList> MakeTrades(int count, quint32 seed = 1)
{
    QRandomGenerator random(seed);
    QVector<QStringList> trades;
    trades.reserve(count);
    for (int trade = 0; trade < count; ++trade)
        trades.append(TradeTexts(trade, random));
    return trades;
}

// Appends trades the way the list parser does: look the order number up,
// then raise Rows and fill the new row. Every third trade has a second item.
template <typename Lookup>
void AppendTrades(TradeGrid& grid, int rows, const QVector<QStringList>& trades, Lookup lookup)
{
    for (int trade = 0; trade < trades.size() && grid.Rows() - grid.FixedRows() < rows; ++trade) {
        QStringList cells = trades[trade];
        if (lookup(grid, cells[ColOrderNumber]) >= 0)
            continue;
        const int items = trade % 3 == 0 ? 2 : 1;
        for (int item = 0; item < items && grid.Rows() - grid.FixedRows() < rows; ++item) {
            grid.SetRows(grid.Rows() + 1);
            const int row = grid.Rows() - 1;
            cells[ColSequence] = QString::number(row - grid.FixedRows() + 1);
            if (item > 0)
                cells[ColOrderNumber] += QStringLiteral("_1");
            for (int c = ColSequence; c < kTradeGridCols; ++c)
                grid.SetTextMatrix(row, c, cells[c]);
        }
    }
}

} // namespace gridbench

#pragma once
// The recipient merge done the straightforward way, row against row with
// one DeleteRows per folded row: the yardstick the linear merge is checked
// and measured against.

#include "core/grid/GridOperations.h"
#include "core/grid/TradeGrid.h"
#include "core/text/TextHelpers.h"

#include <QVector>

namespace stepbystep {

inline constexpr int kKeys[] = { 13, 16, 17, 18, 19, 20, 21, 22 };

enum class Rule { Untouched, Key, Sum, Join };

inline Rule RuleOf(int col)
{
    static const Rule rules[23]
        = { Rule::Untouched, Rule::Untouched, Rule::Join, Rule::Join, Rule::Join, Rule::Join, Rule::Sum,
              Rule::Join, Rule::Join, Rule::Join, Rule::Join, Rule::Sum, Rule::Join, Rule::Key, Rule::Join,
              Rule::Join, Rule::Key, Rule::Key, Rule::Key, Rule::Key, Rule::Key, Rule::Key, Rule::Key };
    return col < 23 ? rules[col] : Rule::Untouched;
}

// The merge step by step: every row compared with every row below it, one
// DeleteRows per folded row, bottom first.
inline void MergeSameRecipient(TradeGrid& grid)
{
    const int lastAtStart = grid.Rows() - 1;
    for (int i = grid.FixedRows(); i <= lastAtStart; ++i) {
        if (i >= grid.Rows())
            break;
        QVector<int> matches;
        // Only a row with a recipient whose trade is paid and still ships
        // merges: never a closed or unpaid trade, nor a status not known.
        static const QStringList kPaidStatuses { QStringLiteral("买家已付款"), QStringLiteral("等待卖家发货"),
            QStringLiteral("卖家已发货"), QStringLiteral("交易成功"), QStringLiteral("买家已申请退款"),
            QStringLiteral("退款中"), QStringLiteral("卖家已同意退款"), QStringLiteral("卖家拒绝退款"),
            QStringLiteral("退款成功"), QStringLiteral("退款关闭") };
        const auto mayMerge = [&](int row) {
            return !grid.TextMatrix(row, 13).isEmpty() && kPaidStatuses.contains(grid.TextMatrix(row, 10));
        };
        for (int j = i + 1; mayMerge(i) && j < grid.Rows(); ++j) {
            bool same = mayMerge(j);
            for (const int k : kKeys)
                if (same && grid.TextMatrix(j, k) != grid.TextMatrix(i, k)) {
                    same = false;
                    break;
                }
            if (same)
                matches.append(j);
        }
        for (int k = 2; k < grid.Cols(); ++k) {
            QString s = grid.TextMatrix(i, k);
            for (const int m : matches) {
                QString t = grid.TextMatrix(m, k);
                if (k == 2 && t.endsWith(QLatin1String("_1")))
                    t.chop(2);
                if (RuleOf(k) == Rule::Sum)
                    s = NumberText(LeadingNumber(s) + LeadingNumber(t));
                else if (RuleOf(k) == Rule::Join && !t.isEmpty()
                    && !s.split(QStringLiteral("\r\n")).contains(t)
                    && !(QStringLiteral("\r\n") + s + QStringLiteral("\r\n"))
                            .contains(QStringLiteral("\r\n") + t + QStringLiteral("\r\n")))
                    s = s + QStringLiteral("\r\n") + t;
            }
            grid.SetTextMatrix(i, k, s);
        }
        grid.SetRowHeight(i, grid.RowHeight(i) * int(matches.size() + 1));
        for (qsizetype m = matches.size() - 1; m >= 0; --m)
            DeleteRows(grid, matches[m], matches[m]);
        grid.SetTextMatrix(i, 1, QString::number(i - grid.FixedRows() + 1));
    }
}

} // namespace stepbystep

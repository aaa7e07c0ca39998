#include "TotalText.h"

#include "GridSetup.h"
#include "GridSteps.h"
#include "TradeGrid.h"
#include "core/text/TextHelpers.h"

#include <cmath>

namespace {

// Amounts up to this many yuan are summed as whole cents: adding binary
// fractions such as 0.1 row after row would leave the total a hair off
// ("41145.7000000003"). Larger ones (none a shop takes in one trade) are
// summed as numbers, as the cents could not be held exactly.
constexpr double kCentsUpTo = 1e12;

double AmountTotal(const TradeGrid& grid)
{
    if (ColAmount >= grid.Cols())
        return 0;
    qint64 cents = 0;
    double plain = 0;
    bool exact = true;
    for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
        const double amount = LeadingNumber(CellOrEmpty(grid, row, ColAmount));
        plain += amount;
        if (exact && std::abs(amount) < kCentsUpTo)
            cents += std::llround(amount * 100);
        else
            exact = false;
    }
    return exact ? double(cents) / 100 : plain;
}

} // namespace

QString TotalLabelText(const TradeGrid& grid, bool withYuan)
{
    QString text = QString::fromUtf8(kTotalPrefix) + NumberText(AmountTotal(grid));
    if (withYuan)
        text += QStringLiteral("元");
    return text;
}

QStringList WidestTotalLabelTexts()
{
    QStringList texts;
    for (const char* amount : { "-8.88888888888888E-308", "-0.0000888888888888888", "-888888888888888" })
        texts << QString::fromUtf8(kTotalPrefix) + QString::fromLatin1(amount) + QStringLiteral("元");
    return texts;
}

#include "TotalText.h"

#include "GridOperations.h"
#include "GridSetup.h"
#include "core/text/TextHelpers.h"

QString TotalLabelText(const TradeGrid& grid, bool withYuan)
{
    // SumColumn answers 0 for a grid without the amount column.
    QString text = QString::fromUtf8(kTotalPrefix) + NumberText(SumColumn(grid, ColAmount));
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

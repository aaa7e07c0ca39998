// Detail page bytes through decoding, the block parser and the column split.

#include "FuzzSupport.h"
#include "core/downloads/TradeDetails.h"
#include "core/extract/DetailPage.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/text/AnsiCodec.h"
#include "core/text/TextHelpers.h"
#include "core/trade/ColumnTable.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzsupport::EnsureApplication();
    const QString page
        = NormalizeLineBreaks(DecodeAnsi(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))));
    const std::optional<RecipientBlock> block = FindRecipientBlock(page);
    if (!block)
        return 0;
    // No tags, line breaks, tabs or double blanks are left in any value. A
    // "<" that starts no tag ("<:", "< 3") is shown text and may stay; what
    // looks like a tag in a value may only come from such a "<" or from one
    // the page wrote as a character reference.
    static const QRegularExpression tagStart(QStringLiteral("<[A-Za-z/!?]"));
    static const QRegularExpression textLessThan(QStringLiteral("<(?![A-Za-z/!?])"));
    const bool pageWritesLessThan = page.contains(QLatin1String("&lt"), Qt::CaseInsensitive)
        || page.contains(QLatin1String("&#60")) || page.contains(QLatin1String("&#x3c"), Qt::CaseInsensitive)
        || page.contains(QLatin1String("&#0")) || page.contains(textLessThan);
    for (const std::optional<QString>& value : { std::optional(block->addressLine), block->method, block->company, block->waybill }) {
        if (!value)
            continue;
        FUZZ_CHECK(!value->contains(QLatin1String("\r\n")));
        FUZZ_CHECK(!value->contains(QLatin1Char('\t')));
        FUZZ_CHECK(pageWritesLessThan || !value->contains(tagStart));
        FUZZ_CHECK(!value->contains(QLatin1String("  ")));
        FUZZ_CHECK(value->size() <= page.size());
    }

    TradeGrid grid;
    SetUpTradeGrid(grid);
    grid.SetRows(3);
    grid.SetTextMatrix(2, ColOrderNumber, QStringLiteral("1001"));
    WriteRecipientColumns(grid, 2, *block, QStringLiteral("卖家已发货"));
    FUZZ_CHECK(grid.Rows() == 3);
    FUZZ_CHECK(grid.TextMatrix(2, ColOrderNumber) == QLatin1String("1001"));
    // Whatever the page, a written value fits its column.
    for (int col = kFirstDetailColumn; col < kTradeGridCols; ++col)
        FUZZ_CHECK(grid.TextMatrix(2, col).isEmpty() || FitsShape(FactsOfColumn(col)->shape, grid.TextMatrix(2, col)));
    FUZZ_CHECK(!grid.TextMatrix(2, ColProvince).contains(QStringLiteral("省")));
    return 0;
}

// Detail page bytes through decoding, the block parser and the column split.

#include "FuzzSupport.h"
#include "core/extract/TradeDetails.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/text/AnsiCodec.h"
#include "core/text/TextHelpers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzsupport::EnsureApplication();
    const QString page
        = NormalizeLineBreaks(DecodeAnsi(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))));
    const QString block = ParseRecipientBlock(page);
    // The block has no tags, no CR LF, no tabs and no double blanks left
    // (21 halving passes collapse any run shorter than 2^21 blanks).
    FUZZ_CHECK(!block.contains(QLatin1String("\r\n")));
    FUZZ_CHECK(!block.contains(QLatin1Char('\t')));
    FUZZ_CHECK(!block.contains(QLatin1Char('<')));
    if (size < (1u << 20))
        FUZZ_CHECK(!block.contains(QLatin1String("  ")));
    FUZZ_CHECK(block.size() <= page.size());

    TradeGrid grid;
    SetUpTradeGrid(grid);
    grid.SetRows(3);
    grid.SetTextMatrix(2, ColOrderNumber, QStringLiteral("1001"));
    WriteRecipientColumns(grid, 2, block);
    FUZZ_CHECK(grid.Rows() == 3);
    FUZZ_CHECK(grid.TextMatrix(2, ColOrderNumber) == QLatin1String("1001"));
    FUZZ_CHECK(!grid.TextMatrix(2, ColProvince).contains(QStringLiteral("省")));
    FUZZ_CHECK(!grid.TextMatrix(2, ColCompany).contains(QStringLiteral("—")));
    FUZZ_CHECK(!grid.TextMatrix(2, ColWaybill).contains(QStringLiteral("—")));
    return 0;
}

// The picking list and the packing slips of a day with many trades to
// ship, at two sizes in one run: collecting them from the grid, then each
// PDF (time and file size). The ratio between the sizes stays near 2 when
// the layout is linear. The full size runs once more with a buyer's message
// on every third trade (and a seller's memo on every sixth): the slips'
// time with them against without. Prints "name value unit" lines. Run it offscreen:
// QT_QPA_PLATFORM=offscreen bench_documents [trades]

#include "grid_trades.h"

#include "core/print/ShippingDocuments.h"
#include "core/grid/ItemRecord.h"
#include "core/grid/NoteRecord.h"
#include "print/PdfDocumentPrinter.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Every trade still to ship, a hundred items in four options each, and
// one row in ten going to the same address as the row above it.
void FillTradesToShip(TradeGrid& grid, int trades, bool notes)
{
    SetUpTradeGrid(grid);
    const QVector<QStringList> texts = gridbench::MakeTrades(trades);
    gridbench::AppendTrades(grid, trades * 2, texts, [](const TradeGrid& g, const QString& order) { return g.FindOrderRow(order); });
    static const QString options[] = { QStringLiteral("颜色分类：白色 尺码：M"), QStringLiteral("颜色分类：黑色 尺码：L"),
        QStringLiteral("颜色分类：浅蓝色"), QString() };
    int tradeCount = 0;
    for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
        const int n = row * 7919 % 400;
        grid.SetTextMatrix(row, ColStatus, QStringLiteral("买家已付款"));
        grid.SetTextMatrix(row, ColWaybill, QString());
        grid.SetTextMatrix(row, ColCompany, QString());
        if (row % 10 == 1)
            for (const int col : { ColRecipient, ColProvince, ColCity, ColDistrict, ColAddress, ColPostcode })
                grid.SetTextMatrix(row, col, grid.TextMatrix(row - 1, col));
        const QString text = QStringLiteral("夏季新款纯棉短袖T恤 %1号 %2").arg(n / 4).arg(options[n % 4]);
        // An item has its price: the list sums 400 lines, not a line a row.
        grid.SetTextMatrix(row, ColUnitPrice, QStringLiteral("%1.90").arg(19 + n / 4));
        grid.SetTextMatrix(row, ColItemRecord,
            ItemRecordLine({ grid.TextMatrix(row, ColOrderNumber), grid.TextMatrix(row, ColUnitPrice),
                grid.TextMatrix(row, ColQuantity), text }));
        const QString order = grid.TextMatrix(row, ColOrderNumber);
        if (!notes || IsFurtherItemOrder(order) || tradeCount++ % 3 != 0)
            continue;
        WriteRowNotes(grid, row,
            { order, QStringLiteral("请发顺丰，不要放发票，周末家里没人请放快递柜。谢谢！%1").arg(n),
                tradeCount % 2 == 1 ? QStringLiteral("送小样 x2") : QString() });
    }
}

struct Timing {
    double collectMs = 0;
    double pickingMs = 0;
    double slipsMs = 0;
    qint64 pickingBytes = 0;
    qint64 slipsBytes = 0;
    int slipPages = 0;
    int pickingPages = 0;
    qsizetype parcels = 0;
    qsizetype parcelsWithNotes = 0;
};

Timing Measure(int trades, const QTemporaryDir& dir, bool notes = false)
{
    TradeGrid grid;
    FillTradesToShip(grid, trades, notes);
    Timing t;
    QElapsedTimer clock;
    clock.start();
    const ShippingDocuments documents = CollectShippingDocuments(grid, {}, QStringLiteral("小店"), QDate(2026, 12, 7));
    t.collectMs = double(clock.nsecsElapsed()) / 1e6;
    PdfDocumentPrinter printer;
    const QString picking = dir.filePath(QStringLiteral("picking-%1-%2.pdf").arg(trades).arg(notes));
    const QString slips = dir.filePath(QStringLiteral("slips-%1-%2.pdf").arg(trades).arg(notes));
    clock.restart();
    const DocumentWritten list = printer.WritePdf(documents, ShippingDocument::PickingList, SlipPaper::A5, picking);
    t.pickingMs = double(clock.nsecsElapsed()) / 1e6;
    clock.restart();
    const DocumentWritten packing = printer.WritePdf(documents, ShippingDocument::PackingSlips, SlipPaper::A5, slips);
    t.slipsMs = double(clock.nsecsElapsed()) / 1e6;
    if (!list.IsWritten() || !packing.IsWritten())
        std::fprintf(stderr, "not written: %s %s\n", qPrintable(list.toTell), qPrintable(packing.toTell));
    t.pickingBytes = QFileInfo(picking).size();
    t.slipsBytes = QFileInfo(slips).size();
    t.slipPages = packing.pages;
    t.pickingPages = list.pages;
    t.parcels = documents.slips.size();
    t.parcelsWithNotes = std::count_if(documents.slips.cbegin(), documents.slips.cend(),
        [](const PackingSlip& slip) { return !slip.notes.isEmpty(); });
    return t;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const int trades = argc > 1 ? std::max(10, atoi(argv[1])) : 5000;
    QTemporaryDir dir;
    const Timing half = Measure(trades / 2, dir);
    const Timing full = Measure(trades, dir);
    const Timing noted = Measure(trades, dir, true);
    std::printf("documents_collect_%d %.1f ms\n", trades, full.collectMs);
    std::printf("picking_list_pdf_%d %.1f ms\n", trades, full.pickingMs);
    std::printf("picking_list_pdf_%d_size %.1f KB\n", trades, full.pickingBytes / 1024.0);
    std::printf("picking_list_pdf_%d_pages %d pages\n", trades, full.pickingPages);
    std::printf("packing_slips_pdf_%d %.1f ms\n", trades, full.slipsMs);
    std::printf("packing_slips_pdf_%d_size %.1f KB\n", trades, full.slipsBytes / 1024.0);
    std::printf("packing_slips_pdf_%d_pages %d pages\n", trades, full.slipPages);
    std::printf("packing_slips_pdf_%d_parcels %lld slips\n", trades, qint64(full.parcels));
    std::printf("packing_slips_ms_per_page %.2f ms\n", full.slipsMs / std::max(1, full.slipPages));
    std::printf("packing_slips_pdf_%d_notes_every_third %.1f ms\n", trades, noted.slipsMs);
    std::printf("packing_slips_pdf_%d_notes_pages %d pages\n", trades, noted.slipPages);
    std::printf("packing_slips_pdf_%d_with_notes %lld slips\n", trades, qint64(noted.parcelsWithNotes));
    std::printf("picking_list_pdf_%d_notes_every_third %.1f ms\n", trades, noted.pickingMs);
    std::printf("packing_slips_time_ratio_notes_to_none %.2f x\n", noted.slipsMs / full.slipsMs);
    std::printf("documents_time_ratio_full_to_half %.2f x\n",
        (full.collectMs + full.pickingMs + full.slipsMs) / (half.collectMs + half.pickingMs + half.slipsMs));
    return 0;
}

// Export of a full trade grid to CSV and to a workbook, at two sizes in one
// run: the time of each and the ratio between the sizes, which stays near 2
// when the writers are linear. Prints "name value unit" lines.

#include "core/export/CsvWriter.h"
#include "core/progress/Progress.h"
#include "core/export/ExcelWriter.h"
#include "core/export/ExportGrid.h"
#include "core/grid/TradeGrid.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kCols = 23;
constexpr int kTitleRows = 2;

// Rows that look like trades: order numbers, times, items, prices, buyers,
// addresses and waybills, with a few commas and quotes to escape.
void FillTrades(TradeGrid& grid, int trades)
{
    grid.SetCols(kCols);
    grid.SetRows(kTitleRows + 1);
    grid.SetFixedRows(kTitleRows);
    grid.SetRows(kTitleRows + trades);
    grid.SetColWidth(0, 50);
    for (int c = 1; c < kCols; ++c) {
        grid.SetTextMatrix(0, c, QString(QChar(u'A' + c - 1)));
        grid.SetTextMatrix(1, c, QStringLiteral("标题%1").arg(c));
    }
    for (int r = 0; r < trades; ++r) {
        const int row = kTitleRows + r;
        const QStringList cells {
            QString(),
            QString::number(r + 1),
            QStringLiteral("%1").arg(qint64(31000000000LL) + r * 7919LL),
            QStringLiteral("2024-03-%1 12:%2:05").arg(1 + r % 28).arg(r % 60, 2, 10, QChar(u'0')),
            QStringLiteral("夏季纯棉T恤 男款 \"宽松\" 尺码%1").arg(r % 5),
            QStringLiteral("%1.50").arg(20 + r % 80),
            QString::number(1 + r % 3),
            QString(),
            QStringLiteral("buyer_%1").arg(r % 977),
            QStringLiteral("张%1").arg(r % 113),
            QStringLiteral("卖家已发货"),
            QStringLiteral("%1.00").arg(30 + r % 90),
            QStringLiteral("好评"),
            QStringLiteral("李%1").arg(r % 211),
            QStringLiteral("138%1").arg(10000000 + r, 8, 10, QChar(u'0')),
            QStringLiteral("0571-8%1").arg(r % 1000000, 6, 10, QChar(u'0')),
            QStringLiteral("浙江省"),
            QStringLiteral("杭州市"),
            QStringLiteral("西湖区"),
            QStringLiteral("文三路%1号, %2幢").arg(r % 500).arg(r % 20),
            QStringLiteral("310012"),
            QStringLiteral("圆通速递"),
            QStringLiteral("YT%1").arg(qint64(8800000000LL) + r),
        };
        for (int c = 0; c < kCols; ++c)
            grid.SetTextMatrix(row, c, cells.at(c));
    }
}

template <typename Write> double BestMs(int runs, Write write)
{
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!write())
            std::printf("export failed\n");
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

void Print(const char* name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", name, value, unit);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString csv = dir.filePath("trades.csv");
    const QString workbook = dir.filePath("trades.xls");
    const QString sheet = QStringLiteral("Quorvel软件-淘宝发货信息表");

    double csvMs[2] = {};
    double workbookMs[2] = {};
    const int sizes[2] = { 20000, 40000 };
    for (int i = 0; i < 2; ++i) {
        TradeGrid grid;
        FillTrades(grid, sizes[i]);
        Progress progress;
        csvMs[i] = BestMs(3, [&] { return WriteGridCsv(progress, grid, csv).IsWritten(); });
        workbookMs[i]
            = BestMs(2, [&] { return WriteGridExcel(progress, grid, workbook, sheet).IsWritten(); });
        const QByteArray n = QByteArray::number(sizes[i]);
        Print(("export_csv_" + n + "_rows").constData(), csvMs[i], "ms");
        Print(("export_csv_" + n + "_rows_size").constData(), QFileInfo(csv).size() / 1024.0, "KiB");
        Print(("export_workbook_" + n + "_rows").constData(), workbookMs[i], "ms");
        Print(
            ("export_workbook_" + n + "_rows_size").constData(), QFileInfo(workbook).size() / 1024.0, "KiB");
    }
    Print("export_csv_ratio_40000_to_20000", csvMs[1] / csvMs[0], "x");
    Print("export_workbook_ratio_40000_to_20000", workbookMs[1] / workbookMs[0], "x");
    return 0;
}

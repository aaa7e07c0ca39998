// The crash-recovery save of a 20,000-row trade grid, as it runs after every
// extracted page: encoding, the atomic write (QSaveFile with its sync) and,
// for comparison, reading the file back at start-up. Best of several runs,
// wall time; the save's processor time too, which a busy machine does not
// inflate. Prints "name value unit" lines.

#include "grid_trades.h"

#include "core/recovery/GridRecovery.h"
#include "core/recovery/GridSnapshot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

void Print(const char* name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

double BestMs(int runs, const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    constexpr int kRows = 20000;
    TradeGrid grid;
    SetUpTradeGrid(grid);
    gridbench::AppendTrades(grid, kRows, gridbench::MakeTrades(kRows),
        [](const TradeGrid& g, const QString& t) { return g.FindOrderRow(t); });

    QTemporaryDir dir;
    GridRecovery recovery(dir.path());
    QByteArray bytes;
    const double encodeMs = BestMs(5, [&] { bytes = EncodeGridSnapshot(grid); });
    const double saveMs = BestMs(5, [&] {
        if (recovery.Save(grid) != RecoverySave::Saved)
            std::fprintf(stderr, "save failed\n");
    });
    const std::clock_t cpuStart = std::clock();
    for (int i = 0; i < 5; ++i)
        if (recovery.Save(grid) != RecoverySave::Saved)
            std::fprintf(stderr, "save failed\n");
    const double saveCpuMs = double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC / 5;
    GridSnapshot read;
    const double decodeMs = BestMs(5, [&] {
        QFile file(recovery.FilePath());
        file.open(QIODevice::ReadOnly);
        read = DecodeGridSnapshot(file.readAll()).snapshot;
    });
    if (read.DataRows() != kRows)
        std::fprintf(stderr, "read back %d rows\n", read.DataRows());

    Print("recovery_encode_20000_rows", encodeMs, "ms");
    Print("recovery_save_20000_rows", saveMs, "ms");
    Print("recovery_save_cpu_20000_rows", saveCpuMs, "ms");
    Print("recovery_read_20000_rows", decodeMs, "ms");
    Print("recovery_file_20000_rows", double(bytes.size()) / (1024.0 * 1024.0), "MiB");
    return 0;
}

// Tag stripping must be linear in the page size, and waiting must not burn
// the CPU. Prints "name value unit" lines.

#include "core/base/EventWait.h"
#include "core/text/TextHelpers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

// A page of about chars characters holding tags tags, like a list page:
// cells with attributes, texts between them.
QString MakePage(qsizetype chars, int tags, const QString& open, const QString& close)
{
    const QString tag = open + QStringLiteral("td class=\"cell\"") + close;
    const qsizetype textPerTag = std::max<qsizetype>(1, (chars - qsizetype(tags) * tag.size()) / tags);
    const QString text = QString(textPerTag, QLatin1Char('x')).replace(0, 2, QStringLiteral("宝贝"));
    QString page;
    page.reserve(chars + tag.size() + text.size());
    for (int i = 0; i < tags; ++i)
        page += tag + text;
    return page;
}

// Best of runs, in milliseconds.
double TimeStrip(const QString& page, const QString& open, const QString& close, int runs)
{
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        QString text = page;
        QElapsedTimer timer;
        timer.start();
        StripBetween(text, open, close, QString());
        best = std::min(best, timer.nsecsElapsed() / 1e6);
        if (text.isEmpty())
            std::printf("unexpected empty result\n");
    }
    return best;
}

double CpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec
        + usage.ru_stime.tv_usec / 1e6;
}

void Print(const char* name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", name, value, unit);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    constexpr qsizetype kOneMb = 1024 * 1024;
    constexpr int kRuns = 7;

    struct Markers {
        const char* name;
        QString open;
        QString close;
    };
    const Markers markers[] = {
        { "strip_tags", QStringLiteral("<"), QStringLiteral(">") },
    };
    for (const Markers& m : markers) {
        const QString small = MakePage(kOneMb, 50000, m.open, m.close);
        const QString large = MakePage(2 * kOneMb, 100000, m.open, m.close);
        const double smallMs = TimeStrip(small, m.open, m.close, kRuns);
        const double largeMs = TimeStrip(large, m.open, m.close, kRuns);
        Print((std::string(m.name) + "_1mb_50k_tags").c_str(), smallMs, "ms");
        Print((std::string(m.name) + "_2mb_100k_tags").c_str(), largeMs, "ms");
        Print((std::string(m.name) + "_ratio_2mb_to_1mb").c_str(), largeMs / smallMs, "x");
    }

    // Waiting: CPU time over wall time across whole-second waits.
    WaitSeconds(1); // start at a change of the second
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = CpuSeconds();
    constexpr int kWaits = 3;
    for (int i = 0; i < kWaits; ++i)
        WaitSeconds(1);
    const double cpu = CpuSeconds() - cpuBefore;
    const double wallSeconds = wall.nsecsElapsed() / 1e9;
    Print("wait_seconds_1_wall", wallSeconds / kWaits, "s");
    Print("wait_seconds_1_cpu", cpu / kWaits * 1000.0, "ms");
    Print("wait_seconds_1_cpu_share", 100.0 * cpu / wallSeconds, "%");
    return 0;
}

// What waiting for a page costs: a fetch from a server that never answers
// waits out its whole time-out; the CPU time spent meanwhile, against the
// wall time, shows that the wait sleeps in the event loop rather than
// polling. Also the cost of one fetch of a 1 MB GBK page on loopback.
//
// Usage: bench_web [wait seconds, default 10]
// Prints "name value unit" lines.

#include "core/network/HttpGetPage.h"
#include "core/network/PageFetcher.h"
#include "core/text/AnsiCodec.h"
#include "support/LocalHttpServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <cstdio>
#include <sys/resource.h>

namespace {

double CpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void Print(const char* name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", name, value, unit);
}

void BenchSilentWait(int seconds)
{
    testweb::LocalHttpServer silent([](const QByteArray&, const QByteArray&) { return QByteArray(); });
    QElapsedTimer wall;
    const double cpuBefore = CpuSeconds();
    wall.start();
    PageFetcher fetcher;
    if (HttpGetPageOnce(fetcher, silent.url(QStringLiteral("/page")), QString(), seconds).Arrived())
        qWarning() << "the silent server answered";
    const double wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpuSeconds = CpuSeconds() - cpuBefore;
    Print("web_silent_wait_wall", wallSeconds, "s");
    Print("web_silent_wait_cpu", cpuSeconds * 1000, "ms");
    Print("web_silent_wait_cpu_share", 100.0 * cpuSeconds / wallSeconds, "%_of_one_core");
}

void BenchPageFetch()
{
    QByteArray body;
    const QByteArray line
        = EncodeAnsi(QStringLiteral("收货人：张三，浙江省 杭州市 西湖区 文三路 100号<+>\n"));
    while (body.size() < 1024 * 1024)
        body += line;
    body += EncodeAnsi(QStringLiteral("<BR>>关于淘宝</a>"));
    const QByteArray answer = testweb::HttpResponse(body);
    testweb::LocalHttpServer server([&answer](const QByteArray&, const QByteArray&) { return answer; });
    constexpr int kFetches = 20;
    QElapsedTimer wall;
    wall.start();
    PageFetcher fetcher;
    for (int i = 0; i < kFetches; ++i)
        if (!HttpGetPage(fetcher, server.url(QStringLiteral("/page")), QStringLiteral(">关于淘宝</"), 10)
                 .Arrived())
            qWarning() << "page fetch" << i << "failed";
    Print("web_fetch_1mb_gbk_page", double(wall.nsecsElapsed()) / 1e6 / kFetches, "ms");
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 10;
    BenchPageFetch();
    BenchSilentWait(seconds);
    return 0;
}

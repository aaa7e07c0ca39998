// What waiting for a page costs: a fetch from a server that never answers
// waits out its whole time-out; the CPU time spent meanwhile, against the
// wall time, shows that the wait sleeps in the event loop rather than
// polling. Also the cost of one fetch of a 1 MB GBK page on loopback.
//
// Usage: bench_web [wait seconds, default 10]
// Prints "name value unit" lines.

#include "core/network/HttpGetPage.h"
#include "core/text/AnsiCodec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
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

// Accepts connections, reads requests and answers each with body, or
// never answers when body is empty.
class LoopbackServer {
public:
    explicit LoopbackServer(QByteArray answer)
        : answer_(std::move(answer))
    {
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (!socket->readAll().isEmpty() && !answer_.isEmpty()) {
                        socket->write(answer_);
                        socket->disconnectFromHost();
                    }
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        server_.listen(QHostAddress::LocalHost, 0);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/page").arg(server_.serverPort()); }

private:
    QTcpServer server_;
    QByteArray answer_;
};

void BenchSilentWait(int seconds)
{
    LoopbackServer silent { QByteArray() };
    QString response;
    QElapsedTimer wall;
    const double cpuBefore = CpuSeconds();
    wall.start();
    HttpGetPageOnce(silent.url(), response, QString(), seconds, QString());
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
    const QByteArray answer = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    LoopbackServer server { answer };
    constexpr int kFetches = 20;
    QString response;
    QElapsedTimer wall;
    wall.start();
    for (int i = 0; i < kFetches; ++i)
        HttpGetPage(server.url(), response, QStringLiteral(">关于淘宝</"), 10, QString());
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

// HttpGetPage against peers that misbehave: a server that trickles one byte
// a second, one that answers bytes that are no HTTP, and one that resets
// the connection. Each ends with "网络错误！" after five attempts, and the
// caller's text is left as it was. A detail download pass gives up sooner.

#include "core/context/RunContext.h"
#include "core/extract/DetailDownloadPass.h"
#include "core/extract/TradeDetails.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/network/HttpGetPage.h"
#include "core/network/PageFetchJob.h"
#include "core/network/PageFetcher.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"

#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

namespace {

enum class Misbehaviour { Trickle, Garbage, GarbageWithMarker, Reset };

void Misbehave(Misbehaviour how, QTcpSocket* socket)
{
    switch (how) {
    case Misbehaviour::Trickle: {
        // A valid head, then the body one byte a second; the marker
        // would come at the very end.
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\n"
                      "Content-Length: 64\r\n\r\n");
        auto* timer = new QTimer(socket);
        QObject::connect(timer, &QTimer::timeout, socket, [socket] { socket->write("x"); });
        timer->start(1000);
        break;
    }
    case Misbehaviour::Garbage:
        socket->write(QByteArray("\x00\xff\xfe garbage \x80\x81\r\n\r\n", 18).repeated(50));
        socket->disconnectFromHost();
        break;
    case Misbehaviour::GarbageWithMarker:
        socket->write(QByteArray("\x01\x02 no status line ") + QStringLiteral(">关于淘宝</").toUtf8());
        socket->disconnectFromHost();
        break;
    case Misbehaviour::Reset: {
        // SO_LINGER 0 turns the close into a reset.
        struct linger hard {
            1, 0
        };
        setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        socket->abort();
        break;
    }
    }
}

// A server that misbehaves in the given way at every request.
std::unique_ptr<testweb::LocalHttpServer> MisbehavingServer(Misbehaviour how)
{
    auto server = std::make_unique<testweb::LocalHttpServer>(nullptr);
    server->setReplyHandler([how](const demo::HttpRequest&) {
        demo::HttpReply reply;
        reply.takeOver = [how](QTcpSocket* socket) { Misbehave(how, socket); };
        return reply;
    });
    return server;
}

} // namespace

class TestHttpFaults : public QObject {
    Q_OBJECT
private slots:
    // A reset is a connection failure; its attempts follow each other
    // quickly here instead of 1, 2, 4 and 8 s apart.
    void initTestCase() { fetcher_.SetFirstRetryPauseMs(10); }

    void misbehavingServerGivesNetworkError_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("trickles one byte a second") << int(Misbehaviour::Trickle);
        QTest::newRow("garbage bytes") << int(Misbehaviour::Garbage);
        QTest::newRow("garbage holding the marker") << int(Misbehaviour::GarbageWithMarker);
        QTest::newRow("connection reset") << int(Misbehaviour::Reset);
    }

    void misbehavingServerGivesNetworkError()
    {
        QFETCH(int, how);
        const auto server = MisbehavingServer(static_cast<Misbehaviour>(how));
        QString response = QStringLiteral("kept");
        const QString result
            = HttpGetPage(fetcher_, server->url(QStringLiteral("/page")), response, QStringLiteral(">关于淘宝</"), 1);
        QCOMPARE(result, QString::fromUtf8(kNetworkError));
        // Five attempts; Qt itself may send a request once more when the
        // connection closes before an answer.
        QVERIFY2(server->requestCount() >= 5 && server->requestCount() <= 10,
            qPrintable(QString::number(server->requestCount())));
        // Nothing that came back is a page: the caller's text stays.
        if (how != int(Misbehaviour::Trickle))
            QVERIFY2(!response.contains(QStringLiteral("关于淘宝")) || response == QStringLiteral("kept"),
                qPrintable(response.left(80)));
        if (how == int(Misbehaviour::Trickle) || how == int(Misbehaviour::Reset))
            QCOMPARE(response, QStringLiteral("kept"));
    }


    void retryPausesDouble_data()
    {
        QTest::addColumn<int>("failedAttempt");
        QTest::addColumn<int>("pauseMs");
        QTest::newRow("after attempt 1") << 1 << 1000;
        QTest::newRow("after attempt 2") << 2 << 2000;
        QTest::newRow("after attempt 3") << 3 << 4000;
        QTest::newRow("after attempt 4") << 4 << 8000;
    }
    void retryPausesDouble()
    {
        QFETCH(int, failedAttempt);
        QFETCH(int, pauseMs);
        QCOMPARE(ConnectionRetryPauseMs(PageFetcher().FirstRetryPauseMs(), failedAttempt), pauseMs);
    }

    void detailPassAgainstMisbehavingPeer_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<int>("healthyAfterMs"); // -1: never
        QTest::addColumn<int>("maxInPass"); // requests
        QTest::addColumn<int>("atEnd"); // attempts; Qt may resend a request once when cut
        // Four trades, two at a time, 1 s time-out, host given up after 0.5 s
        // of failures 0.1, 0.2, 0.4 s apart. A time-out costs one attempt in
        // the pass and one at its end; with the host away two trades try four
        // times, the others never, and the end tries one.
        QTest::newRow("trickling peer") << int(Misbehaviour::Trickle) << -1 << 4 << 4;
        QTest::newRow("host away") << int(Misbehaviour::Reset) << -1 << 16 << 1;
        QTest::newRow("brief outage") << int(Misbehaviour::Reset) << 250 << 30 << 0;
    }
    void detailPassAgainstMisbehavingPeer()
    {
        QFETCH(int, how);
        QFETCH(int, healthyAfterMs);
        QFETCH(int, maxInPass);
        QFETCH(int, atEnd);
        QElapsedTimer clock;
        clock.start();
        testweb::LocalHttpServer server(nullptr);
        server.setReplyHandler([&](const demo::HttpRequest&) {
            demo::HttpReply reply;
            if (healthyAfterMs >= 0 && clock.elapsed() >= healthyAfterMs)
                reply.raw = testweb::HttpResponse(
                    QStringLiteral(">关于淘宝</").toUtf8(), "text/html; charset=UTF-8");
            else
                reply.takeOver = [how](QTcpSocket* socket) { Misbehave(Misbehaviour(how), socket); };
            return reply;
        });
        RunContext run;
        run.endpoints.tradeBase = server.base();
        run.detailDownloads = 2;
        run.fetcher.SetFirstRetryPauseMs(100);
        TradeGrid grid;
        SetUpTradeGrid(grid);
        grid.SetRows(grid.FixedRows() + 4);
        for (int i = 0; i < 4; ++i)
            grid.SetTextMatrix(grid.FixedRows() + i, ColOrderNumber, QString::number(71 + i));
        QStringList messages;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] { messages.append(run.progress.State().message); });
        watch.start(5);

        DetailDownloadPass pass(1, 500);
        DownloadTradeDetails(run, grid, 4, true, {}, pass);
        const int inPass = server.requestCount();
        QCOMPARE(FinishDetailDownloads(run, grid, true, pass).failed.size(), healthyAfterMs < 0 ? 4 : 0);
        QVERIFY2(inPass <= maxInPass, qPrintable(QString::number(inPass)));
        const int endRequests = server.requestCount() - inPass;
        QVERIFY2(endRequests >= atEnd && endRequests <= 2 * atEnd, qPrintable(QString::number(endRequests)));
        QCOMPARE(messages.contains(QStringLiteral("网络中断，正在重试…")), how == int(Misbehaviour::Reset));
        QCOMPARE(run.progress.State().message, QStringLiteral("正在下载物流信息...."));
    }

private:
    PageFetcher fetcher_;
};

LUMETRA_TEST_GUILESS_MAIN(TestHttpFaults)
#include "TestHttpFaults.moc"

// HttpGetPage against peers that misbehave: a server that trickles one byte
// a second, one that answers bytes that are no HTTP, and one that resets
// the connection. Each ends as failed after five attempts, and the
// caller's text is left as it was. A detail download pass gives up sooner,
// and with a network wait, sits an outage out.

#include "core/downloads/DetailDownloadPass.h"
#include "core/downloads/TradeDetails.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/network/HttpGetPage.h"
#include "core/network/PageFetchJob.h"
#include "core/network/PageFetcher.h"
#include "core/session/RunContext.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <QTimer>

#include <sys/socket.h>

namespace {

enum class Misbehaviour {
    Trickle,
    Garbage,
    GarbageWithMarker,
    Reset,
    Silent,
    ServerBusy,
    LoginPage,
    LoginPageWithFooter,
    LoginFormInPlace
};

void WritePage(QTcpSocket* socket, const QByteArray& body)
{
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    socket->disconnectFromHost();
}

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
    case Misbehaviour::Silent: // accepts, reads, never answers
        break;
    case Misbehaviour::ServerBusy:
        socket->write(
            "HTTP/1.1 503 Service Unavailable\r\nContent-Type: text/html\r\nContent-Length: 4\r\n\r\nbusy");
        socket->disconnectFromHost();
        break;
    case Misbehaviour::LoginPage: // the session ended: the login form instead of the page
        socket->write(
            "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\nContent-Length: 52\r\n\r\n"
            "<form><input type=\"text\" name=\"TPL_username\"></form>");
        socket->disconnectFromHost();
        break;
    case Misbehaviour::LoginPageWithFooter: // a password field, and the page-end marker in its footer
        WritePage(socket,
            QStringLiteral("<form method=\"post\"><INPUT TYPE='password' name=pw></form>"
                           "<div class=\"footer\"><a href=\"#\">关于淘宝</a></div>")
                .toUtf8());
        break;
    case Misbehaviour::LoginFormInPlace: // no user-name field: a form that posts to the login address
        WritePage(socket,
            QStringLiteral("<form action=\"https://login.example.com/member/login.jhtml?x=1&amp;y=2\">"
                           "<input name=\"account\"></form><a>关于淘宝</a>")
                .toUtf8());
        break;
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
        const FetchResult result
            = HttpGetPage(fetcher_, server->url(QStringLiteral("/page")), QStringLiteral(">关于淘宝</"), 1);
        QCOMPARE(result.status, FetchStatus::Failed);
        const QString response = result.body.value_or(QStringLiteral("kept"));
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
        QTest::addColumn<int>("waitMs"); // how long the pass waits for the network; -1 without a limit
        QTest::addColumn<int>("maxInPass"); // requests
        QTest::addColumn<int>("atEnd"); // attempts; Qt may resend a request once when cut
        // Four trades, two at a time, host given up after 0.5 s without an
        // answer; failures are retried 0.1, 0.2, 0.4 s apart; the first byte
        // must come within 0.3 s and a body that stalls for 0.3 s is given
        // up. No attempt may run into the whole 30 s time-out. A stall costs
        // one attempt in the pass and one at its end; with the host away two
        // trades try until it is given up, the others never, and the end
        // tries one, or none once a wait for the network has run out.
        QTest::newRow("trickling peer") << int(Misbehaviour::Trickle) << -1 << 0 << 4 << 4;
        QTest::newRow("host away") << int(Misbehaviour::Reset) << -1 << 0 << 16 << 1;
        QTest::newRow("brief outage") << int(Misbehaviour::Reset) << 250 << 0 << 30 << 0;
        QTest::newRow("silent host") << int(Misbehaviour::Silent) << -1 << 0 << 4 << 1;
        QTest::newRow("outage waited out") << int(Misbehaviour::Reset) << 1500 << -1 << 40 << 0;
        QTest::newRow("wait runs out") << int(Misbehaviour::Reset) << -1 << 600 << 30 << 0;
        // A busy server is waited out as an absent one is; a login page
        // ends the session: the two requests under way end, no other starts.
        QTest::newRow("server busy, waited out") << int(Misbehaviour::ServerBusy) << 1500 << -1 << 40 << 0;
        QTest::newRow("login page for details") << int(Misbehaviour::LoginPage) << -1 << 0 << 2 << 0;
        QTest::newRow("login page with the footer") << int(Misbehaviour::LoginPageWithFooter) << -1 << 0 << 2 << 0;
        QTest::newRow("login form in place") << int(Misbehaviour::LoginFormInPlace) << -1 << 0 << 2 << 0;
    }
    void detailPassAgainstMisbehavingPeer()
    {
        QFETCH(int, how);
        QFETCH(int, healthyAfterMs);
        QFETCH(int, waitMs);
        QFETCH(int, maxInPass);
        QFETCH(int, atEnd);
        // Replies given up while their connection failure is under way end quietly.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("Internal problem")));
        QElapsedTimer clock;
        clock.start();
        testweb::LocalHttpServer server(nullptr);
        server.setReplyHandler([&](const demo::HttpRequest&) {
            demo::HttpReply reply;
            if (healthyAfterMs >= 0 && clock.elapsed() >= healthyAfterMs)
                reply.raw = testweb::HttpResponse(QStringLiteral("收货和物流信息 收货地址：张三，13800001111，0571-88886666，浙江省 杭州市 西湖区 "
                                                                 "文三路1号，310000<BR>我对购买流程有意见或建议 >关于淘宝</")
                                                      .toUtf8(),
                    "text/html; charset=UTF-8");
            else
                reply.takeOver = [how](QTcpSocket* socket) { Misbehave(Misbehaviour(how), socket); };
            return reply;
        });
        RunContext run(
            RunServices { .endpoints = testsupport::TradeHostAt(server.base()), .detailDownloads = 2 });
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

        DetailDownloadPass pass(30, 500);
        pass.limits.firstByteMs = 300;
        pass.limits.stallMs = 300;
        pass.wait = NetworkWait { .maxMs = waitMs, .probeEveryMs = 100 };
        DownloadTradeDetails(run, grid, 4, true, {}, pass);
        const int inPass = server.requestCount();
        const DetailShortfall left = FinishDetailDownloads(run, grid, true, pass);
        QCOMPARE(left.failed.size(), healthyAfterMs < 0 ? 4 : 0);
        QVERIFY2(inPass <= maxInPass, qPrintable(QString::number(inPass)));
        const int endRequests = server.requestCount() - inPass;
        QVERIFY2(endRequests >= atEnd && endRequests <= 2 * atEnd, qPrintable(QString::number(endRequests)));
        QCOMPARE(pass.sessionEnded,
            how == int(Misbehaviour::LoginPage) || how == int(Misbehaviour::LoginPageWithFooter)
                || how == int(Misbehaviour::LoginFormInPlace));
        const bool noAnswer = how == int(Misbehaviour::Reset) || how == int(Misbehaviour::Silent)
            || how == int(Misbehaviour::ServerBusy);
        QCOMPARE(messages.contains(QStringLiteral("网络中断，正在重试…")), noAnswer);
        const bool waited = std::any_of(messages.begin(), messages.end(),
            [](const QString& m) { return m.startsWith(QStringLiteral("无法连接淘宝，正在等待网络恢复…（已等待 ")); });
        QCOMPARE(waited, waitMs != 0 && noAnswer);
        QCOMPARE(run.progress.State().message, QStringLiteral("正在下载物流信息...."));
        // A stalled page is named as a time-out, not as a network failure.
        QCOMPARE(left.timedOut.size(), how == int(Misbehaviour::Trickle) ? 4 : 0);
        QCOMPARE(DetailShortfallMessage(left).contains(QStringLiteral("详情页下载超时")),
            how == int(Misbehaviour::Trickle));
        // Waited out, the grid is that of a walk without the outage; the
        // page is read whole, not cut at its last upper-case line break.
        for (int i = 0; i < 4 && healthyAfterMs >= 0; ++i)
            QCOMPARE(grid.TextMatrix(grid.FixedRows() + i, ColRecipient), QStringLiteral("张三"));
        QVERIFY2(clock.elapsed() < 30000, "an attempt ran into the whole time-out");
    }

private:
    PageFetcher fetcher_;
};

LUMETRA_TEST_GUILESS_MAIN(TestHttpFaults)
#include "TestHttpFaults.moc"

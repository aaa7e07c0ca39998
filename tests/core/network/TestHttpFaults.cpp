// HttpGetPage against peers that misbehave: a server that trickles one byte
// a second, one that answers bytes that are no HTTP, and one that resets
// the connection. Each ends with "网络错误！" after five attempts, and the
// caller's text is left as it was.

#include "core/network/HttpGetPage.h"
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

private:
    PageFetcher fetcher_;
};

LUMETRA_TEST_GUILESS_MAIN(TestHttpFaults)
#include "TestHttpFaults.moc"

#include "LoopbackHttpServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

namespace demo {
namespace {

void SendAndClose(QTcpSocket* socket, const HttpResponse& response)
{
    socket->write(response.Serialize());
    socket->disconnectFromHost(); // flushes what is written, then closes
}

void Drop(QTcpSocket* socket)
{
    // abort() closes at once and discards anything unsent: the client sees
    // the connection end without a response.
    socket->abort();
    socket->deleteLater();
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer(Handler handler, QObject* parent)
    : QObject(parent)
    , handler_(std::move(handler))
{
    connect(&server_, &QTcpServer::newConnection, this, &LoopbackHttpServer::Accept);
}

quint16 LoopbackHttpServer::Listen(quint16 port)
{
    if (!server_.listen(QHostAddress::LocalHost, port))
        return 0;
    return server_.serverPort();
}

void LoopbackHttpServer::Accept()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto reader = std::make_shared<HttpRequestReader>();
        auto idle = new QTimer(socket);
        idle->setSingleShot(true);
        connect(idle, &QTimer::timeout, socket, [socket] { Drop(socket); });
        idle->start(kIdleTimeoutMs);

        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, reader, idle] {
            const HttpRequestReader::State state = reader->Feed(socket->readAll());
            if (state == HttpRequestReader::State::NeedMore)
                return;
            idle->stop();
            // One request per connection: later bytes are not read.
            disconnect(socket, &QTcpSocket::readyRead, socket, nullptr);
            if (state == HttpRequestReader::State::Bad) {
                HttpResponse bad;
                bad.status = reader->BadStatus();
                bad.contentType = "text/plain; charset=utf-8";
                bad.body = "bad request\r\n";
                SendAndClose(socket, bad);
                return;
            }
            const HttpReply reply = handler_(reader->Request());
            QPointer<QTcpSocket> guarded(socket);
            auto answer = [guarded, reply] {
                if (!guarded)
                    return; // the client went away while we waited
                if (reply.takeOver) {
                    reply.takeOver(guarded);
                } else if (reply.silent) {
                    return;
                } else if (reply.drop) {
                    Drop(guarded);
                } else if (!reply.raw.isEmpty()) {
                    guarded->write(reply.raw);
                    guarded->disconnectFromHost();
                } else {
                    SendAndClose(guarded, reply.response);
                }
            };
            if (reply.delayMs > 0)
                QTimer::singleShot(reply.delayMs, socket, answer);
            else
                answer();
        });
    }
}

} // namespace demo

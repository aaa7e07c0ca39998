#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the page-access tests. Each
// request is answered by a handler with raw response bytes, written as they
// are and followed by closing the connection; an empty answer leaves the
// connection open and silent. It counts requests and keeps their heads.

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

namespace testweb {

// A complete response with a Content-Length that matches the body.
inline QByteArray HttpResponse(const QByteArray& body, const QByteArray& contentType = "text/html",
    int status = 200, const QList<QByteArray>& extraHeaders = {})
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + " X\r\n";
    if (!contentType.isEmpty())
        out += "Content-Type: " + contentType + "\r\n";
    for (const QByteArray& header : extraHeaders)
        out += header + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n";
    return out + body;
}

inline QByteArray RedirectResponse(const QByteArray& location)
{
    return "HTTP/1.1 302 Found\r\nLocation: " + location
        + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

class LocalHttpServer : public QObject {
public:
    // The request target ("/path?query") and the whole request head.
    using Handler = std::function<QByteArray(const QByteArray& target, const QByteArray& head)>;

    explicit LocalHttpServer(Handler handler)
        : handler_(std::move(handler))
    {
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] { Accept(); });
        server_.listen(QHostAddress::LocalHost, 0);
    }
    ~LocalHttpServer() override
    {
        for (const QPointer<QTcpSocket>& socket : std::as_const(sockets_))
            if (socket)
                socket->abort();
    }

    QString url(const QString& target) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(target);
    }
    quint16 port() const { return server_.serverPort(); }
    int requestCount() const { return int(heads_.size()); }
    const QList<QByteArray>& heads() const { return heads_; }
    void setHandler(Handler handler) { handler_ = std::move(handler); }

private:
    void Accept()
    {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            sockets_.append(socket);
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
                *buffer += socket->readAll();
                const qsizetype end = buffer->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                const QByteArray head = buffer->left(end + 4);
                buffer->clear();
                heads_.append(head);
                const QByteArray requestLine = head.left(head.indexOf("\r\n"));
                const QList<QByteArray> parts = requestLine.split(' ');
                const QByteArray answer = handler_(parts.value(1), head);
                if (answer.isEmpty())
                    return;
                socket->write(answer);
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    QTcpServer server_;
    Handler handler_;
    QList<QByteArray> heads_;
    QList<QPointer<QTcpSocket>> sockets_;
};

} // namespace testweb

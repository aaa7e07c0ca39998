#pragma once
// A small HTTP/1.1 server on 127.0.0.1 built on QTcpServer. One request per
// connection. Answers may be delayed on a timer (the event loop stays free,
// so many requests can wait at once) or replaced by closing the connection,
// which is how the demo marketplace plays a slow or failing network.

#include "HttpMessage.h"

#include <QObject>
#include <QTcpServer>
#include <functional>

namespace demo {

class LoopbackHttpServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<HttpReply(const HttpRequest&)>;

    explicit LoopbackHttpServer(Handler handler, QObject* parent = nullptr);

    // Listens on 127.0.0.1; port 0 picks a free one. Returns the port, 0 on failure.
    quint16 Listen(quint16 port);
    QString ErrorString() const { return server_.errorString(); }

    // A connection that sends no complete request within this time is closed.
    static constexpr int kIdleTimeoutMs = 30000;

private:
    void Accept();

    QTcpServer server_;
    Handler handler_;
};

} // namespace demo

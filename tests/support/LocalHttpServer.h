#pragma once
// The tests' HTTP peer on 127.0.0.1: the demo marketplace's loopback server
// with a handler that answers each request with raw response bytes, written
// as they are and followed by closing the connection; an empty answer leaves
// the connection open and silent. It counts requests and keeps their heads.
// A reply handler may instead delay, drop, or take the connection over, to
// play a slow or misbehaving server.

#include "LoopbackHttpServer.h"

#include <QByteArray>
#include <QList>
#include <functional>

namespace testweb {

// A complete response with a Content-Length that matches the body.
QByteArray HttpResponse(const QByteArray& body, const QByteArray& contentType = "text/html", int status = 200,
    const QList<QByteArray>& extraHeaders = {});
QByteArray RedirectResponse(const QByteArray& location);

class LocalHttpServer : public QObject {
public:
    // The request target ("/path?query") and the whole request head.
    using Handler = std::function<QByteArray(const QByteArray& target, const QByteArray& head)>;
    using ReplyHandler = std::function<demo::HttpReply(const demo::HttpRequest&)>;

    // Port 0 picks a free port.
    explicit LocalHttpServer(Handler handler, quint16 port = 0);
    bool isListening() const { return port_ != 0; }

    QString url(const QString& target) const;
    QString base() const { return url(QString()); }
    quint16 port() const { return port_; }
    int requestCount() const { return int(heads_.size()); }
    const QList<QByteArray>& heads() const { return heads_; }
    void setHandler(Handler handler);
    void setReplyHandler(ReplyHandler handler) { reply_ = std::move(handler); }

private:
    demo::LoopbackHttpServer server_;
    ReplyHandler reply_;
    QList<QByteArray> heads_;
    quint16 port_ = 0;
};

} // namespace testweb

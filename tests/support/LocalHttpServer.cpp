#include "LocalHttpServer.h"

namespace testweb {

QByteArray HttpResponse(
    const QByteArray& body, const QByteArray& contentType, int status, const QList<QByteArray>& extraHeaders)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + " X\r\n";
    if (!contentType.isEmpty())
        out += "Content-Type: " + contentType + "\r\n";
    for (const QByteArray& header : extraHeaders)
        out += header + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n";
    return out + body;
}

QByteArray RedirectResponse(const QByteArray& location)
{
    return "HTTP/1.1 302 Found\r\nLocation: " + location
        + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

LocalHttpServer::LocalHttpServer(Handler handler, quint16 port)
    : server_([this](const demo::HttpRequest& request) {
        heads_.append(request.head + "\r\n\r\n");
        return reply_(request);
    })
{
    setHandler(std::move(handler));
    port_ = server_.Listen(port);
}

QString LocalHttpServer::url(const QString& target) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(target);
}

void LocalHttpServer::setHandler(Handler handler)
{
    reply_ = [handler = std::move(handler)](const demo::HttpRequest& request) {
        demo::HttpReply reply;
        reply.raw = handler(request.target, request.head + "\r\n\r\n");
        reply.silent = reply.raw.isEmpty();
        return reply;
    };
}

} // namespace testweb

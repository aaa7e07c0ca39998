#pragma once
// Just enough HTTP/1.1 for a loopback demo server: one request per
// connection, bodies with Content-Length, answers with Connection: close.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrlQuery>
#include <functional>

class QTcpSocket;

namespace demo {

struct HttpRequest {
    QByteArray head; // the request line and headers as received
    QByteArray target; // the request target as sent: "/path?query"
    QByteArray method; // "GET", "POST" …
    QString path; // percent-decoded path without the query
    QUrlQuery query;
    QList<QPair<QByteArray, QByteArray>> headers; // names in lower case
    QByteArray body;

    QByteArray Header(const QByteArray& lowerCaseName) const;
    QString Cookie(const QString& name) const;
    // A form field from an url-encoded POST body, else from the query.
    QString FormValue(const QString& name) const;
};

struct HttpResponse {
    int status = 200;
    QByteArray contentType = "text/html; charset=utf-8";
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QByteArray Serialize() const;
    static HttpResponse Redirect(const QString& location);
};

// What the site wants done with a request: answer (maybe after a delay),
// or close the connection without a word. Tests that play a misbehaving
// peer may instead send raw bytes, keep silent, or take the connection over.
struct HttpReply {
    HttpResponse response;
    int delayMs = 0;
    bool drop = false;
    QByteArray raw; // when set, sent as it is instead of `response`
    bool silent = false; // neither answer nor close
    std::function<void(QTcpSocket*)> takeOver;
};

// Collects the bytes of one request as they arrive.
class HttpRequestReader {
public:
    enum class State { NeedMore, Complete, Bad };

    State Feed(const QByteArray& bytes);
    const HttpRequest& Request() const { return request_; }
    // For State::Bad: the status to answer with (400, 413, 431, 501).
    int BadStatus() const { return badStatus_; }

    static constexpr qsizetype kMaxHeaderBytes = 32 * 1024;
    static constexpr qsizetype kMaxBodyBytes = 256 * 1024;

private:
    State Fail(int status);
    bool ParseHead(const QByteArray& head);

    QByteArray buffer_;
    HttpRequest request_;
    qsizetype headLength_ = -1; // bytes up to and including the blank line
    qsizetype bodyLength_ = 0;
    int badStatus_ = 400;
    State state_ = State::NeedMore;
};

} // namespace demo

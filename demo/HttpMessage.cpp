#include "HttpMessage.h"

#include <QUrl>

namespace demo {
namespace {

QByteArray ReasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Payload Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

QUrlQuery FormQuery(const QByteArray& encoded)
{
    // QUrlQuery leaves "+" alone; forms send blanks as "+".
    QByteArray text = encoded;
    text.replace('+', "%20");
    return QUrlQuery(QString::fromLatin1(text));
}

} // namespace

QByteArray HttpRequest::Header(const QByteArray& lowerCaseName) const
{
    for (const auto& [name, value] : headers) {
        if (name == lowerCaseName)
            return value;
    }
    return {};
}

QString HttpRequest::Cookie(const QString& name) const
{
    for (const auto& [headerName, value] : headers) {
        if (headerName != "cookie")
            continue;
        for (const QByteArray& pair : value.split(';')) {
            const qsizetype eq = pair.indexOf('=');
            if (eq > 0 && QString::fromUtf8(pair.left(eq).trimmed()) == name)
                return QString::fromUtf8(pair.mid(eq + 1).trimmed());
        }
    }
    return {};
}

QString HttpRequest::FormValue(const QString& name) const
{
    if (method == "POST" && Header("content-type").startsWith("application/x-www-form-urlencoded")) {
        const QUrlQuery form = FormQuery(body);
        if (form.hasQueryItem(name))
            return form.queryItemValue(name, QUrl::FullyDecoded);
    }
    return query.queryItemValue(name, QUrl::FullyDecoded);
}

QByteArray HttpResponse::Serialize() const
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + ReasonPhrase(status) + "\r\n";
    out += "Content-Type: " + contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += "Cache-Control: no-store\r\n";
    out += "Connection: close\r\n";
    for (const auto& [name, value] : headers)
        out += name + ": " + value + "\r\n";
    out += "\r\n";
    out += body;
    return out;
}

HttpResponse HttpResponse::Redirect(const QString& location)
{
    HttpResponse response;
    response.status = 302;
    // Callers pass an address that is already percent-encoded.
    response.headers.append({ "Location", location.toUtf8() });
    response.body
        = "<html><body><a href=\"" + location.toHtmlEscaped().toUtf8() + "\">moved</a></body></html>";
    return response;
}

HttpRequestReader::State HttpRequestReader::Fail(int status)
{
    badStatus_ = status;
    state_ = State::Bad;
    return state_;
}

HttpRequestReader::State HttpRequestReader::Feed(const QByteArray& bytes)
{
    if (state_ != State::NeedMore)
        return state_;
    buffer_ += bytes;
    if (headLength_ < 0) {
        const qsizetype end = buffer_.indexOf("\r\n\r\n");
        if (end < 0)
            return buffer_.size() > kMaxHeaderBytes ? Fail(431) : State::NeedMore;
        if (end > kMaxHeaderBytes)
            return Fail(431);
        headLength_ = end + 4;
        if (!ParseHead(buffer_.left(end)))
            return state_;
    }
    if (buffer_.size() - headLength_ < bodyLength_)
        return State::NeedMore;
    request_.body = buffer_.mid(headLength_, bodyLength_);
    state_ = State::Complete;
    return state_;
}

bool HttpRequestReader::ParseHead(const QByteArray& head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> start = lines.value(0).trimmed().split(' ');
    if (start.size() != 3 || !start[2].startsWith("HTTP/1.") || !start[1].startsWith('/')) {
        Fail(400);
        return false;
    }
    request_.head = head;
    request_.target = start[1];
    request_.method = start[0];
    const QUrl target = QUrl::fromEncoded("http://localhost" + start[1]);
    if (!target.isValid()) {
        Fail(400);
        return false;
    }
    request_.path = target.path(QUrl::FullyDecoded);
    request_.query = FormQuery(target.query(QUrl::FullyEncoded).toLatin1());
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) {
            Fail(400);
            return false;
        }
        request_.headers.append({ line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed() });
    }
    if (!request_.Header("transfer-encoding").isEmpty()) {
        Fail(501);
        return false;
    }
    const QByteArray length = request_.Header("content-length");
    if (!length.isEmpty()) {
        bool ok = false;
        bodyLength_ = length.toLongLong(&ok);
        if (!ok || bodyLength_ < 0) {
            Fail(400);
            return false;
        }
        if (bodyLength_ > kMaxBodyBytes) {
            Fail(413);
            return false;
        }
    }
    return true;
}

} // namespace demo

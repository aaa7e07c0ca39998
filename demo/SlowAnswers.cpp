#include "SlowAnswers.h"

#include <QTcpSocket>
#include <QTimer>

namespace demo {

void MakeSlow(const SlowAnswerOptions& options, quint64 requestNumber, HttpReply& reply)
{
    if (options.silentAfter >= 0 && requestNumber >= quint64(options.silentAfter)) {
        reply = HttpReply();
        reply.silent = true;
        return;
    }
    if (options.trickleRequest < 0 || requestNumber != quint64(options.trickleRequest))
        return;
    // The head at once, then the body one byte a second.
    const QByteArray bytes = reply.raw.isEmpty() ? reply.response.Serialize() : reply.raw;
    const qsizetype headEnd = bytes.indexOf("\r\n\r\n") + 4;
    reply.takeOver = [bytes, headEnd](QTcpSocket* socket) {
        socket->write(bytes.left(headEnd));
        auto* timer = new QTimer(socket);
        auto sent = std::make_shared<qsizetype>(headEnd);
        QObject::connect(timer, &QTimer::timeout, socket, [socket, bytes, sent, timer] {
            if (*sent >= bytes.size()) {
                timer->stop();
                socket->disconnectFromHost();
                return;
            }
            socket->write(bytes.mid((*sent)++, 1));
        });
        timer->start(1000);
    };
}

} // namespace demo

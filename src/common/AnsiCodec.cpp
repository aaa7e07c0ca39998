#include "AnsiCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

QString DecodeAnsi(const QByteArray& bytes)
{
    QStringDecoder decoder("GB18030");
    if (!decoder.isValid())
        return QString::fromLocal8Bit(bytes);
    return decoder.decode(bytes);
}

QByteArray EncodeAnsi(const QString& text)
{
    QStringEncoder encoder("GB18030");
    if (!encoder.isValid())
        return text.toLocal8Bit();
    return encoder.encode(text);
}

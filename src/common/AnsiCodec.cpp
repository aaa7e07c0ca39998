#include "AnsiCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr char kEuroByte = char(0x80);
constexpr char16_t kEuroSign = u'\u20AC';

bool IsLeadByte(uchar b)
{
    return b >= 0x81 && b <= 0xFE;
}
bool IsDigitByte(uchar b)
{
    return b >= 0x30 && b <= 0x39;
}

} // namespace

QString DecodeAnsi(const QByteArray& bytes)
{
    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return QString::fromLocal8Bit(bytes);
    // Walk the byte sequences so that 0x80 is recognised only where a
    // character starts (it is also a valid second byte of a pair).
    QString out;
    out.reserve(bytes.size());
    const qsizetype n = bytes.size();
    qsizetype runStart = 0;
    qsizetype i = 0;
    while (i < n) {
        const uchar b = uchar(bytes[i]);
        if (b == uchar(kEuroByte)) {
            out += decoder.decode(QByteArrayView(bytes).sliced(runStart, i - runStart));
            out += QChar(kEuroSign);
            runStart = ++i;
        } else if (IsLeadByte(b) && i + 1 < n) {
            const bool fourBytes = IsDigitByte(uchar(bytes[i + 1]));
            i += fourBytes ? qMin<qsizetype>(4, n - i) : 2;
        } else {
            ++i;
        }
    }
    out += decoder.decode(QByteArrayView(bytes).sliced(runStart));
    return out;
}

QByteArray EncodeAnsi(const QString& text)
{
    QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        return text.toLocal8Bit();
    QByteArray out;
    out.reserve(text.size() * 2);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).unicode() != kEuroSign)
            continue;
        out += encoder.encode(QStringView(text).sliced(runStart, i - runStart));
        out += kEuroByte;
        runStart = i + 1;
    }
    out += encoder.encode(QStringView(text).sliced(runStart));
    return out;
}

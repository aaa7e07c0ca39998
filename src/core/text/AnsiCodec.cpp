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
    qsizetype cutOffTail = n; // where a sequence cut off by the end starts
    while (i < n) {
        const uchar b = uchar(bytes[i]);
        if (b == uchar(kEuroByte)) {
            out += decoder.decode(QByteArrayView(bytes).sliced(runStart, i - runStart));
            out += QChar(kEuroSign);
            runStart = ++i;
        } else if (IsLeadByte(b)) {
            const qsizetype length = i + 1 < n && IsDigitByte(uchar(bytes[i + 1])) ? 4 : 2;
            if (i + length > n) {
                cutOffTail = i;
                break;
            }
            i += length;
        } else {
            ++i;
        }
    }
    out += decoder.decode(QByteArrayView(bytes).sliced(runStart, cutOffTail - runStart));
    // The decoder would drop a sequence that the end cuts off; show it.
    if (cutOffTail < n)
        out += QChar(QChar::ReplacementCharacter);
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

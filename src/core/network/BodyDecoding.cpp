#include "BodyDecoding.h"

#include "core/text/AnsiCodec.h"
#include "core/text/TextHelpers.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <optional>

namespace {

// Browsers look for a <meta> charset only this far into the page.
constexpr qsizetype kMetaScanBytes = 4096;

bool IsLabelChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// The label after the first "charset" in text (already lower case):
// blanks, "=", an optional quote, then label characters.
QByteArray LabelAfterCharset(QByteArrayView text)
{
    qsizetype at = 0;
    while ((at = text.indexOf(QByteArrayView("charset"), at)) >= 0) {
        qsizetype i = at + 7;
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        if (i < text.size() && text[i] == '=') {
            ++i;
            while (i < text.size() && IsBlank(text[i]))
                ++i;
            if (i < text.size() && (text[i] == '"' || text[i] == '\''))
                ++i;
            const qsizetype start = i;
            while (i < text.size() && IsLabelChar(text[i]))
                ++i;
            if (i > start)
                return text.sliced(start, i - start).toByteArray();
        }
        at += 7;
    }
    return QByteArray();
}

// GBK and its older subset are decoded as GB18030, which maps every GBK
// byte sequence to the same characters and accepts the rest too.
bool IsGbkFamily(const QByteArray& label)
{
    return label == "gbk" || label == "gb2312" || label == "x-gbk" || label == "gb18030" || label == "cp936"
        || label == "ms936" || label == "windows-936" || label == "euc-cn" || label == "csgb2312";
}

std::optional<QString> DecodeWithLabel(const QByteArray& label, const QByteArray& body)
{
    if (label.isEmpty())
        return std::nullopt;
    if (IsGbkFamily(label))
        return DecodeAnsi(body);
    QStringDecoder decoder(label.constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    return QString(decoder.decode(body));
}

std::optional<QString> DecodeByByteOrderMark(const QByteArray& body)
{
    if (body.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(body.constData() + 3, body.size() - 3);
    if (body.startsWith("\xFF\xFE") || body.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringConverter::Utf16, QStringConverter::Flag::Stateless);
        return QString(decoder.decode(body));
    }
    return std::nullopt;
}

} // namespace

QByteArray CharsetFromContentType(const QByteArray& contentType)
{
    return LabelAfterCharset(contentType.toLower());
}

QByteArray CharsetFromMeta(const QByteArray& body)
{
    const QByteArray head = body.left(kMetaScanBytes).toLower();
    qsizetype at = 0;
    while ((at = head.indexOf("<meta", at)) >= 0) {
        qsizetype end = head.indexOf('>', at);
        if (end < 0)
            end = head.size();
        const QByteArray label = LabelAfterCharset(QByteArrayView(head).sliced(at, end - at));
        if (!label.isEmpty())
            return label;
        at = end;
    }
    return QByteArray();
}

QString DecodeHttpBody(const QByteArray& body, const QByteArray& contentType)
{
    std::optional<QString> text = DecodeByByteOrderMark(body);
    if (!text)
        text = DecodeWithLabel(CharsetFromContentType(contentType), body);
    if (!text)
        text = DecodeWithLabel(CharsetFromMeta(body), body);
    if (!text)
        text = DecodeAnsi(body);
    return NormalizeLineBreaks(*text);
}

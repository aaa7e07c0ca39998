#include "MarkupText.h"

#include <algorithm>
#include <array>

QString DecodeEntities(QStringView text)
{
    if (!text.contains(u'&'))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype semicolon = text[i] == u'&' ? text.indexOf(u';', i) : -1;
        if (semicolon < 0 || semicolon - i > 10) {
            out += text[i];
            continue;
        }
        const QStringView name = text.sliced(i + 1, semicolon - i - 1);
        static constexpr std::pair<QStringView, char16_t> kNamed[] { { u"lt", u'<' }, { u"gt", u'>' },
            { u"amp", u'&' }, { u"quot", u'"' }, { u"apos", u'\'' }, { u"nbsp", u' ' } };
        bool decoded = false;
        for (const auto& [entity, c] : kNamed) {
            if (name == entity) {
                out += QChar(c);
                decoded = true;
            }
        }
        if (!decoded && name.size() > 1 && name[0] == u'#') {
            bool ok = false;
            const bool hex = name[1] == u'x' || name[1] == u'X';
            const uint code = name.sliced(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            // Only characters: no surrogate halves, nothing past the last plane.
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                const char32_t character = code;
                out += QString::fromUcs4(&character, 1);
                decoded = true;
            }
        }
        if (!decoded) {
            out += text[i];
            continue;
        }
        i = semicolon;
    }
    return out;
}

bool IsBlockElement(QStringView name)
{
    static constexpr std::array<QStringView, 28> kBlocks { u"address", u"br", u"dd", u"div", u"dl", u"dt",
        u"form", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6", u"hr", u"li", u"ol", u"p", u"section", u"table",
        u"tbody", u"td", u"tfoot", u"th", u"thead", u"tr", u"ul", u"body", u"caption" };
    return std::find(kBlocks.begin(), kBlocks.end(), name) != kBlocks.end();
}

MarkupTag ReadMarkupTag(QStringView page, qsizetype at)
{
    MarkupTag tag;
    tag.at = at;
    const qsizetype close = page.indexOf(u'>', at);
    tag.end = close < 0 ? page.size() : close + 1;
    qsizetype i = at + 1;
    if (i < page.size() && page[i] == u'/') {
        tag.closing = true;
        ++i;
    }
    while (i < tag.end && page[i].isLetterOrNumber() && page[i].unicode() < 0x80)
        tag.name += page[i++].toLower();
    return tag;
}

namespace {

void Blot(QString& mask, qsizetype from, qsizetype to)
{
    std::fill(mask.begin() + from, mask.begin() + to, kNotText);
}

} // namespace

MarkupMask MaskMarkup(QStringView page)
{
    MarkupMask result;
    result.mask = page.toString();
    QString& mask = result.mask;
    for (qsizetype i = page.indexOf(u'<'); i >= 0 && i < page.size(); i = page.indexOf(u'<', i)) {
        if (page.sliced(i).startsWith(u"<!--")) {
            const qsizetype close = page.indexOf(u"-->", i + 4);
            const qsizetype end = close < 0 ? page.size() : close + 3;
            Blot(mask, i, end);
            i = end;
            continue;
        }
        const MarkupTag tag = ReadMarkupTag(page, i);
        // "<" before no letter is text ("<3", "a < b"); a doctype or other
        // declaration is no text, and neither is "</" before no letter
        // ("</>", "</ x>"): a browser drops them up to their ">".
        const bool declaration
            = i + 1 < page.size() && (page[i + 1] == u'!' || page[i + 1] == u'?' || page[i + 1] == u'/');
        if (tag.name.isEmpty() && !declaration) {
            ++i;
            continue;
        }
        Blot(mask, i, tag.end);
        if (!tag.name.isEmpty())
            result.tags.append(tag);
        i = tag.end;
        if (!tag.closing && (tag.name == u"script" || tag.name == u"style")) {
            const QString endTag = QStringLiteral("</") + tag.name;
            const qsizetype close = page.indexOf(endTag, i, Qt::CaseInsensitive);
            const qsizetype end = close < 0 ? page.size() : close;
            Blot(mask, i, end);
            i = end;
        }
    }
    return result;
}

QString ShownText(QStringView page, const MarkupMask& mask, qsizetype from, qsizetype to, QChar elementEnd)
{
    QString text;
    const QStringView masked(mask.mask);
    to = std::min(to, page.size());
    auto tag = std::lower_bound(mask.tags.cbegin(), mask.tags.cend(), from,
        [](const MarkupTag& t, qsizetype at) { return t.at < at; });
    for (qsizetype i = from; i < to;) {
        qsizetype run = i;
        if (masked[i] == kNotText) {
            bool block = false;
            while (run < to && masked[run] == kNotText)
                ++run;
            for (; tag != mask.tags.cend() && tag->at < run; ++tag) {
                if (!IsBlockElement(tag->name))
                    continue;
                // Every element that ends is told, an empty one too.
                if (tag->closing && tag->name != u"br" && elementEnd != u' ')
                    text += elementEnd;
                else
                    block = true;
            }
            if (block)
                text += u' ';
        } else {
            while (run < to && masked[run] != kNotText)
                ++run;
            text += DecodeEntities(page.sliced(i, run - i));
        }
        i = run;
    }
    return text;
}

qsizetype ElementEnd(QStringView page, const MarkupMask& mask, qsizetype index)
{
    const QString& name = mask.tags.at(index).name;
    int depth = 0;
    for (qsizetype i = index + 1; i < mask.tags.size(); ++i) {
        const MarkupTag& tag = mask.tags.at(i);
        if (tag.name != name)
            continue;
        if (!tag.closing)
            ++depth;
        else if (depth-- == 0)
            return tag.at;
    }
    return page.size();
}

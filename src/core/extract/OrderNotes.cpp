#include "OrderNotes.h"

#include "MarkupText.h"
#include "core/text/Blanks.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace {

constexpr QStringView kMessageLabel = u"买家留言：";
constexpr QStringView kMemoLabel = u"卖家备注：";

// Elements whose end ends a labelled value. Inline ones (b, span, font, a)
// are only dropped.
bool EndsValue(QStringView tag)
{
    static constexpr std::array<QStringView, 16> kBlocks { u"dd", u"dt", u"dl", u"p", u"div", u"td", u"th",
        u"tr", u"li", u"ul", u"ol", u"table", u"tbody", u"body", u"h3", u"h4" };
    return std::find(kBlocks.begin(), kBlocks.end(), tag) != kBlocks.end();
}

// The elements a value stands in after its label's: a definition or a cell.
bool IsValueCell(QStringView tag)
{
    return tag == u"dd" || tag == u"td";
}

// A value's text: source blanks collapse to one space, as a browser shows
// them; each line is trimmed, and blank lines at either end go.
QString FinishedValue(const QStringList& lines)
{
    QStringList kept;
    for (const QString& line : lines)
        kept.append(line.trimmed());
    while (!kept.isEmpty() && kept.first().isEmpty())
        kept.removeFirst();
    while (!kept.isEmpty() && kept.last().isEmpty())
        kept.removeLast();
    return kept.join(QStringLiteral("\r\n"));
}

struct Value {
    QString text;
    qsizetype end = 0; // where reading stopped
};

// The value after a label ending at from: through the end of the label's
// own element (when the label stands alone in one) to the end of the next.
// Elements inside the value's own cell (a division or paragraph around
// the text) break its lines but end nothing; comments, scripts and styles
// are no part of it.
Value ValueAfter(QStringView page, qsizetype from)
{
    QStringList lines { QString() };
    bool content = false; // a character of the value seen
    bool labelClosed = false;
    bool inCell = false; // inside the value's own cell
    int depth = 0; // elements open inside that cell
    bool pendingBlank = false;
    const auto breakLine = [&] {
        if (!lines.last().isEmpty())
            lines.append(QString());
        pendingBlank = false;
    };
    qsizetype i = from;
    while (i < page.size()) {
        const QChar c = page[i];
        if (c == u'<' && page.sliced(i).startsWith(u"<!--")) {
            const qsizetype close = page.indexOf(u"-->", i + 4);
            i = close < 0 ? page.size() : close + 3;
            continue;
        }
        if (c == u'<') {
            const MarkupTag tag = ReadMarkupTag(page, i);
            if (!tag.name.isEmpty()) {
                if (!tag.closing && (tag.name == u"script" || tag.name == u"style")) {
                    const qsizetype close = page.indexOf(
                        QString(QStringLiteral("</") + tag.name), tag.end, Qt::CaseInsensitive);
                    i = close < 0 ? page.size() : close;
                    continue;
                }
                if (tag.name == u"br") {
                    lines.append(QString());
                    pendingBlank = false;
                } else if (EndsValue(tag.name) && inCell && tag.closing && depth > 0) {
                    --depth;
                    breakLine();
                } else if (EndsValue(tag.name) && inCell && !tag.closing) {
                    ++depth;
                    breakLine();
                } else if (EndsValue(tag.name) && tag.closing) {
                    // The label's own element ends first (when the label
                    // stands alone in one); the next end ends the value.
                    if (content || labelClosed)
                        return { FinishedValue(lines), i };
                    labelClosed = true;
                } else if (EndsValue(tag.name) && IsValueCell(tag.name) && labelClosed && !content) {
                    inCell = true;
                } else if (EndsValue(tag.name) && !IsValueCell(tag.name) && (content || labelClosed)) {
                    // A new line of the section: the value was empty, or
                    // has ended.
                    return { FinishedValue(lines), i };
                }
                i = tag.end;
                continue;
            }
        }
        if (IsMarkupBlank(c)) {
            pendingBlank = !lines.last().isEmpty();
            ++i;
            continue;
        }
        qsizetype next = page.indexOf(u'<', i);
        if (next < 0)
            next = page.size();
        // Text up to the next tag or blank. A label's text inside a value is
        // the buyer's own words: only the page's elements end a value.
        qsizetype stop = i + 1;
        while (stop < next && !IsMarkupBlank(page[stop]))
            ++stop;
        if (pendingBlank)
            lines.last() += u' ';
        pendingBlank = false;
        lines.last() += DecodeEntities(page.sliced(i, stop - i));
        content = true;
        i = stop;
    }
    return { FinishedValue(lines), i };
}

} // namespace

OrderNotesReading ReadOrderNotes(const QString& pageHtml)
{
    // The labels are read in page order, each after the value before it:
    // a message that quotes "卖家备注：" is not mistaken for the memo.
    OrderNotesReading reading;
    const QStringView page(pageHtml);
    qsizetype from = 0;
    while (!reading.message || !reading.memo) {
        const qsizetype message = reading.message ? -1 : page.indexOf(kMessageLabel, from);
        const qsizetype memo = reading.memo ? -1 : page.indexOf(kMemoLabel, from);
        if (message < 0 && memo < 0)
            break;
        const bool isMessage = message >= 0 && (memo < 0 || message < memo);
        const qsizetype at = isMessage ? message : memo;
        const Value value = ValueAfter(page, at + kMessageLabel.size());
        (isMessage ? reading.message : reading.memo) = value.text;
        from = std::max(value.end, at + kMessageLabel.size());
    }
    return reading;
}

QList<std::pair<qsizetype, qsizetype>> OrderNoteSpans(QStringView page)
{
    QList<std::pair<qsizetype, qsizetype>> spans;
    for (const QStringView label : { kMessageLabel, kMemoLabel })
        for (qsizetype at = page.indexOf(label); at >= 0; at = page.indexOf(label, at + 1)) {
            const qsizetype from = at + label.size();
            spans.append({ from, ValueAfter(page, from).end });
        }
    return spans;
}

TradeNotes NotesOfTrade(const QString& order, const OrderNotesReading& reading)
{
    return { order, reading.message.value_or(QString()), reading.memo.value_or(QString()) };
}

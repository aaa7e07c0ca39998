#include "PageFlow.h"

#include "DocumentPainting.h"

#include <QHash>
#include <QPainter>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

// Letters, digits and the marks inside numbers stay together; any other
// character (CJK, punctuation, blanks) is a piece of its own.
bool JoinsWord(QStringView cluster)
{
    if (cluster.size() != 1)
        return false;
    const QChar c = cluster.front();
    return c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'.' || c == u'-' || c == u'_');
}

// The pieces a line may break between. A character is never cut: an emoji
// is two UTF-16 units, and with a skin tone, a variation selector or joined
// to others a single cluster of several, all kept in one piece.
QStringList Pieces(const QString& text)
{
    QStringList pieces;
    QString word;
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    for (qsizetype end = clusters.toNextBoundary(); end > start;
         start = end, end = clusters.toNextBoundary()) {
        const QStringView cluster = QStringView(text).mid(start, end - start);
        if (JoinsWord(cluster)) {
            word += cluster;
            continue;
        }
        if (!word.isEmpty())
            pieces.append(std::exchange(word, QString()));
        pieces.append(cluster.toString());
    }
    if (!word.isEmpty())
        pieces.append(word);
    return pieces;
}

// Characters drawn with no glyph between them and that need none of their
// own: variation selectors, joiners and other marks of no width.
bool NeedsNoGlyph(char32_t code)
{
    return (code >= 0xFE00 && code <= 0xFE0F) || (code >= 0x200B && code <= 0x200F) || code == 0x2060
        || (code >= 0xE0000 && code <= 0xE01EF);
}

// Characters the documents' fonts surely have: the Latin, CJK and full-width
// ranges of Noto Sans CJK. Only the others are looked up.
bool InCommonRanges(char32_t code)
{
    return code < 0x2000 || (code >= 0x3000 && code <= 0x9FFF) || (code >= 0xFF00 && code <= 0xFFEF);
}

} // namespace

QString WithPlaceholders(const QString& text, const QFontMetricsF& metrics)
{
    // Fast path: every character in the common ranges.
    const auto common = [](QChar c) { return InCommonRanges(c.unicode()) && !c.isSurrogate(); };
    if (std::all_of(text.cbegin(), text.cend(), common))
        return text;
    static QHash<char32_t, bool> drawable; // by the fonts with their fallbacks; one set of fonts
    QString shown;
    shown.reserve(text.size());
    for (const char32_t code : text.toUcs4()) {
        bool ok = InCommonRanges(code) || NeedsNoGlyph(code);
        if (!ok) {
            const auto known = drawable.constFind(code);
            ok = known != drawable.cend() ? *known : *drawable.insert(code, metrics.inFontUcs4(code));
        }
        if (ok)
            shown += QStringView(QString::fromUcs4(&code, 1));
        else
            shown += QString::fromLatin1(kMissingGlyphPlaceholder);
    }
    return shown;
}

QStringList WrapText(const QString& text, const QFontMetricsF& metrics, double width)
{
    QStringList lines;
    QString line;
    double lineWidth = 0;
    const auto endLine = [&] {
        lines.append(line.trimmed());
        line.clear();
        lineWidth = 0;
    };
    for (const QString& piece : Pieces(text)) {
        // A line break in the text (a buyer's message) starts a new line.
        if (piece == u"\n" || piece == u"\r\n" || piece == u"\r") {
            endLine();
            continue;
        }
        const double pieceWidth = metrics.horizontalAdvance(piece);
        if (lineWidth + pieceWidth <= width || line.isEmpty()) {
            if (pieceWidth > width && line.isEmpty() && piece.size() > 1 && JoinsWord(piece.left(1))) {
                // A word wider than the column is cut wherever it must be
                // (a word is plain letters and digits, one unit each).
                for (const QChar c : piece) {
                    const double w = metrics.horizontalAdvance(c);
                    if (lineWidth + w > width && !line.isEmpty())
                        endLine();
                    line += c;
                    lineWidth += w;
                }
                continue;
            }
            if (line.isEmpty() && piece == u" ")
                continue;
            line += piece;
            lineWidth += pieceWidth;
            continue;
        }
        endLine();
        if (piece != u" ") {
            line = piece;
            lineWidth = pieceWidth;
        }
    }
    if (!line.isEmpty() || lines.isEmpty())
        endLine();
    return lines;
}

QFont DocumentFont(double pointSize, bool bold)
{
    QFont font(QString::fromLatin1(kDocumentFontFamily));
    // Emoji and symbols the CJK font lacks.
    font.setFamilies(
        { QString::fromLatin1(kDocumentFontFamily), QString::fromLatin1(kDocumentFallbackFamily) });
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

PageFlow::PageFlow(
    QPainter* painter, const QFont& font, const QPaintDevice& device, std::function<QRectF()> newArea)
    : painter_(painter)
    , device_(&device)
    , font_(font)
    , metrics_(font, &device)
    , lineHeight_(metrics_.lineSpacing())
    , padding_(metrics_.height() * 0.25)
    , newArea_(std::move(newArea))
{
}

void PageFlow::NeedArea()
{
    area_ = newArea_();
    y_ = area_.top();
    ++areas_;
    fresh_ = true;
    if (!head_.isEmpty()) {
        const QStringList head = head_;
        const QVector<TableColumn> columns = headColumns_;
        head_.clear(); // the head itself never asks for a head
        Row(head, columns, true);
        head_ = head;
        headColumns_ = columns;
    }
}

void PageFlow::Break()
{
    NeedArea();
}

void PageFlow::Space(double height)
{
    if (areas_ == 0)
        NeedArea();
    y_ = std::min(y_ + height, area_.bottom());
}

QRectF PageFlow::Block(double height)
{
    if (areas_ == 0)
        NeedArea();
    if (!Fits(height) && !fresh_)
        NeedArea();
    fresh_ = false;
    const QRectF room(area_.left(), y_, area_.width(), height);
    y_ += height;
    return room;
}

void PageFlow::Paragraph(const QString& text, const QFont* font)
{
    const QFont& used = font ? *font : font_;
    const QFontMetricsF metrics(used, device_);
    if (areas_ == 0)
        NeedArea();
    for (const QString& line : WrapText(WithPlaceholders(text, metrics), metrics, area_.width())) {
        if (!Fits(metrics.lineSpacing()) && !fresh_)
            NeedArea();
        fresh_ = false;
        if (painter_) {
            painter_->setFont(used);
            painter_->drawText(QRectF(area_.left(), y_, area_.width(), metrics.lineSpacing()),
                Qt::AlignLeft | Qt::AlignVCenter, line);
        }
        y_ += metrics.lineSpacing();
    }
}

void PageFlow::SetTableHead(const QStringList& cells, const QVector<TableColumn>& columns)
{
    if (areas_ == 0)
        NeedArea();
    Row(cells, columns, true);
    head_ = cells;
    headColumns_ = columns;
}

void PageFlow::Row(const QStringList& cells, const QVector<TableColumn>& columns, bool bold)
{
    if (areas_ == 0)
        NeedArea();
    QFont font = font_;
    font.setBold(bold);
    QVector<QStringList> wrapped;
    int lineCount = 1;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const double width = area_.width() * columns[i].share - 2 * padding_;
        wrapped.append(WrapText(WithPlaceholders(cells.value(i), metrics_), metrics_, std::max(width, 1.0)));
        lineCount = std::max(lineCount, int(wrapped.last().size()));
    }
    // A row that does not fit the space left starts the next area whole.
    const int room = int((area_.bottom() - y_ - 2 * padding_ + 0.01) / lineHeight_);
    if (room < lineCount && !fresh_)
        NeedArea();
    int done = 0;
    while (done < lineCount) {
        int fit = int((area_.bottom() - y_ - 2 * padding_ + 0.01) / lineHeight_);
        if (fit < 1 && !fresh_) {
            NeedArea();
            continue;
        }
        // An area too small for even one line still takes one: the flow
        // always ends.
        fit = std::clamp(fit, 1, lineCount - done);
        fresh_ = false;
        PaintRowLines(wrapped, columns, done, fit, font);
        done += fit;
        if (done < lineCount)
            NeedArea();
    }
}

void PageFlow::PaintRowLines(
    const QVector<QStringList>& wrapped, const QVector<TableColumn>& columns, int from, int count, const QFont& font)
{
    const double height = count * lineHeight_ + 2 * padding_;
    if (painter_) {
        painter_->setFont(font);
        double x = area_.left();
        for (qsizetype i = 0; i < columns.size(); ++i) {
            const double width = area_.width() * columns[i].share;
            painter_->drawRect(QRectF(x, y_, width, height));
            const QStringList& lines = wrapped[i];
            for (int l = 0; l < count && from + l < lines.size(); ++l)
                painter_->drawText(QRectF(x + padding_, y_ + padding_ + l * lineHeight_, width - 2 * padding_, lineHeight_),
                    columns[i].align | Qt::AlignVCenter, lines[from + l]);
            x += width;
        }
    }
    y_ += height;
}

#include "PageFlow.h"

#include "DocumentPainting.h"

#include <QPainter>

#include <algorithm>

namespace {

// Letters, digits and the marks inside numbers stay together; any other
// character (CJK, punctuation, blanks) is a piece of its own.
bool JoinsWord(QChar c)
{
    return c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'.' || c == u'-' || c == u'_');
}

QStringList Pieces(const QString& text)
{
    QStringList pieces;
    QString word;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (JoinsWord(c)) {
            word += c;
            continue;
        }
        if (!word.isEmpty())
            pieces.append(std::exchange(word, QString()));
        // A character beyond the first plane (an emoji) is two units: one
        // piece, never split across lines.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            pieces.append(text.mid(i++, 2));
        else
            pieces.append(QString(c));
    }
    if (!word.isEmpty())
        pieces.append(word);
    return pieces;
}

} // namespace

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
        if (piece == u"\n") {
            endLine();
            continue;
        }
        const double pieceWidth = metrics.horizontalAdvance(piece);
        if (lineWidth + pieceWidth <= width || line.isEmpty()) {
            if (pieceWidth > width && line.isEmpty()) {
                // A word wider than the column is cut wherever it must be.
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

void PageFlow::Paragraph(const QString& text, const QFont* font)
{
    const QFont& used = font ? *font : font_;
    const QFontMetricsF metrics(used, device_);
    if (areas_ == 0)
        NeedArea();
    for (const QString& line : WrapText(text, metrics, area_.width())) {
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
        wrapped.append(WrapText(cells.value(i), metrics_, std::max(width, 1.0)));
        lineCount = std::max(lineCount, int(wrapped.last().size()));
    }
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

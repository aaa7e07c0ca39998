#pragma once
// Text laid out in lines down a column of fixed-height areas (a page, or
// one slip of a page): paragraphs and table rows of wrapped cells, broken
// between lines when an area is full.

#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class QPainter;
class QPaintDevice;

// text broken into lines no wider than width: between words and numbers
// where it can, anywhere in a run of CJK characters or a word too long, but
// never inside a character (an emoji with its modifiers is one).
QStringList WrapText(const QString& text, const QFontMetricsF& metrics, double width);

// What stands for a character that neither the documents' font nor any
// fallback can draw, where it would otherwise print as an empty box.
inline constexpr const char* kMissingGlyphPlaceholder = "?";
// text with every character metrics' font (with its fallbacks) cannot draw
// replaced by kMissingGlyphPlaceholder.
QString WithPlaceholders(const QString& text, const QFontMetricsF& metrics);

// The font of the documents at pointSize, for device.
QFont DocumentFont(double pointSize, bool bold = false);

struct TableColumn {
    double share; // of the table's width
    Qt::Alignment align = Qt::AlignLeft;
};

// Lines go into areas one after another. An area is asked for when the
// next line does not fit; newArea paints the area's head and returns where
// lines may go.
class PageFlow {
public:
    PageFlow(QPainter* painter, const QFont& font, const QPaintDevice& device,
        std::function<QRectF()> newArea);

    double LineHeight() const { return lineHeight_; }
    // A paragraph over the area's width.
    void Paragraph(const QString& text, const QFont* font = nullptr);
    // A table row: each cell wrapped in its column and framed. A row taller
    // than the space left starts the next area, so it is never read in two
    // halves; only a row taller than a whole area goes on in the next.
    void Row(const QStringList& cells, const QVector<TableColumn>& columns, bool bold = false);
    // Paints the table's head row now, and again at the top of every further
    // area the table goes on in, until EndTable.
    void SetTableHead(const QStringList& cells, const QVector<TableColumn>& columns);
    void EndTable() { head_.clear(); }
    void Space(double height);
    // Room for a picture height high across the area: in this area when it
    // fits, else at the top of the next. Returns where it goes; the caller
    // paints there through Painter(), none while the flow only lays out.
    QRectF Block(double height);
    QPainter* Painter() const { return painter_; }
    // Starts a new area now.
    void Break();
    // Areas begun so far.
    int Areas() const { return areas_; }

private:
    void NeedArea();
    bool Fits(double height) const { return y_ + height <= area_.bottom() + 0.01; }
    void PaintRowLines(const QVector<QStringList>& wrapped, const QVector<TableColumn>& columns, int from,
        int count, const QFont& font);

    QPainter* painter_; // null: only laid out
    const QPaintDevice* device_;
    QFont font_;
    QFontMetricsF metrics_;
    double lineHeight_;
    double padding_;
    std::function<QRectF()> newArea_;
    QRectF area_;
    double y_ = 0;
    int areas_ = 0;
    bool fresh_ = false; // nothing placed in the area yet
    QStringList head_;
    QVector<TableColumn> headColumns_;
};

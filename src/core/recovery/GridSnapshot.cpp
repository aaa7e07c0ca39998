#include "GridSnapshot.h"

#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"

#include <QSysInfo>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <zlib.h>

namespace {

constexpr char kMagic[8] = { 'L', 'M', 'T', 'G', 'R', 'I', 'D', '\n' };
constexpr qsizetype kHeaderSize = 32;
constexpr qsizetype kPayloadLengthAt = 16;
constexpr qsizetype kChecksumAt = 24;
constexpr bool kLittleEndianHost = QSysInfo::ByteOrder == QSysInfo::LittleEndian;

quint32 PayloadChecksum(const char* data, qsizetype size)
{
    return quint32(crc32_z(0, reinterpret_cast<const Bytef*>(data), size_t(size)));
}

// Writes into a buffer sized beforehand: every text is copied once, with
// no growth checks on the way.
class Writer {
public:
    explicit Writer(char* at)
        : at_(at)
    {
    }
    template <typename T> void Put(T value)
    {
        qToLittleEndian(value, at_);
        at_ += sizeof(T);
    }
    void PutText(const QString& text)
    {
        Put(quint32(text.size()));
        if constexpr (kLittleEndianHost) {
            std::memcpy(at_, text.utf16(), size_t(text.size()) * 2);
            at_ += text.size() * 2;
        } else {
            for (const QChar c : text)
                Put(quint16(c.unicode()));
        }
    }
    char* At() const { return at_; }

private:
    char* at_;
};

// Reads with a bounds check at every step; the first failure sticks.
class Reader {
public:
    Reader(const char* data, qsizetype size)
        : data_(data)
        , size_(size)
    {
    }
    bool ok() const { return ok_; }
    bool AtEnd() const { return pos_ == size_; }
    template <typename T> T Get()
    {
        if (!ok_ || size_ - pos_ < qsizetype(sizeof(T))) {
            ok_ = false;
            return T {};
        }
        const T value = qFromLittleEndian<T>(data_ + pos_);
        pos_ += sizeof(T);
        return value;
    }
    QString GetText()
    {
        const qint64 units = Get<quint32>();
        if (!ok_ || (size_ - pos_) / 2 < units) {
            ok_ = false;
            return QString();
        }
        QString text(qsizetype(units), Qt::Uninitialized);
        if constexpr (kLittleEndianHost) {
            std::memcpy(text.data(), data_ + pos_, size_t(units) * 2);
        } else {
            for (qsizetype i = 0; i < units; ++i)
                text[i] = QChar(qFromLittleEndian<quint16>(data_ + pos_ + 2 * i));
        }
        pos_ += units * 2;
        return text;
    }
    QVector<int> GetInts(int count)
    {
        QVector<int> values;
        if (count < 0 || (size_ - pos_) / 4 < count) {
            ok_ = false;
            return values;
        }
        values.reserve(count);
        for (int i = 0; i < count; ++i)
            values.append(Get<qint32>());
        return values;
    }

private:
    const char* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
    bool ok_ = true;
};

qsizetype FindingsSize(const FindingList& findings)
{
    if (findings.IsEmpty())
        return 0;
    qsizetype size = 4;
    for (const Finding& f : findings.All())
        size += 4 + f.orderNumber.size() * 2 + 4 * 4 + 4 + f.seen.size() * 2;
    return size;
}

void PutFindings(Writer& writer, const FindingList& findings)
{
    if (findings.IsEmpty())
        return;
    writer.Put(quint32(findings.All().size()));
    for (const Finding& f : findings.All()) {
        writer.PutText(f.orderNumber);
        writer.Put(qint32(f.page));
        writer.Put(qint32(f.column));
        writer.Put(qint32(f.kind));
        writer.Put(qint32(f.severity));
        writer.PutText(f.seen);
    }
}

// The findings section, when the payload goes on after the cells. A kind or
// severity this version does not know makes the file damaged: guessing its
// weight could turn a refused cell into a clean one.
bool GetFindings(Reader& in, FindingList& findings)
{
    if (in.AtEnd())
        return true;
    const quint32 count = in.Get<quint32>();
    for (quint32 i = 0; i < count && in.ok(); ++i) {
        Finding f;
        f.orderNumber = in.GetText();
        f.page = in.Get<qint32>();
        f.column = in.Get<qint32>();
        const qint32 kind = in.Get<qint32>();
        const qint32 severity = in.Get<qint32>();
        f.seen = in.GetText();
        if (kind < 0 || kind > int(FindingKind::MaskedMobile) || severity < 0
            || severity > int(FindingSeverity::Note))
            return false;
        f.kind = FindingKind(kind);
        f.severity = FindingSeverity(severity);
        findings.Add(f);
    }
    return in.ok();
}

qsizetype PayloadSize(const TradeGrid& grid)
{
    const qsizetype cols = grid.Cols();
    qsizetype size = 4 * 4 + 4 + grid.Tag().size() * 2 + cols * 8 + qsizetype(grid.Rows()) * 4;
    for (int r = 0; r < grid.Rows(); ++r)
        for (int c = 0; c < grid.Cols(); ++c)
            size += 4 + grid.TextMatrix(r, c).size() * 2;
    return size;
}

SnapshotReadResult Failed(SnapshotStatus status, const QString& reason)
{
    SnapshotReadResult result;
    result.status = status;
    result.reason = reason;
    return result;
}

bool ShapeIsValid(const GridSnapshot& s)
{
    return s.rows >= 0 && s.cols >= 0 && qint64(s.rows) * s.cols <= TradeGrid::kMaxCells && s.fixedRows >= 0
        && s.fixedRows <= s.rows && s.fixedCols >= 0 && s.fixedCols <= s.cols;
}

// Values the grid would refuse: the file is damaged.
bool LayoutIsValid(const GridSnapshot& s)
{
    const auto negative = [](int v) { return v < 0; };
    return std::none_of(s.colWidths.cbegin(), s.colWidths.cend(), negative)
        && std::none_of(s.rowHeights.cbegin(), s.rowHeights.cend(), negative)
        && std::all_of(s.colAlignments.cbegin(), s.colAlignments.cend(),
            [](int v) { return v >= 0 && v <= TradeGrid::kAlignGeneral; });
}

// A trade grid of format 1 lacks the hidden item column that came with
// format 2: it gets the column, empty, so that the grid reads on as any
// other. The documents then fall back on the shown item columns.
void AddItemColumn(GridSnapshot& s)
{
    constexpr int kFormat1Cols = 23;
    if (s.tag != QString::fromUtf8(kTradeGridTag) || s.cols != kFormat1Cols)
        return;
    QVector<QString> cells;
    cells.reserve(qsizetype(s.rows) * (s.cols + 1));
    for (int r = 0; r < s.rows; ++r) {
        for (int c = 0; c < s.cols; ++c)
            cells.append(std::move(s.cells[qsizetype(r) * s.cols + c]));
        cells.append(r == s.fixedRows - 1 ? TradeGridTitles().value(ColItemRecord) : QString());
    }
    s.cells = std::move(cells);
    s.cols += 1;
    s.colWidths.append(0);
    s.colAlignments.append(TradeGrid::kAlignLeftCenter);
}

// A trade grid of format 2 (or 1, its item column added) lacks the note
// columns of format 3: the two shown ones go in after 单号, empty and as
// wide as the grid makes an empty column, the hidden record after the item
// column. The letters and titles are those of the grid's head.
void AddNoteColumns(GridSnapshot& s)
{
    constexpr int kFormat2Cols = 24;
    if (s.tag != QString::fromUtf8(kTradeGridTag) || s.cols != kFormat2Cols)
        return;
    const QStringList titles = TradeGridTitles();
    const QStringList letters = TradeGridLetters();
    const auto headText = [&](int r, int c) {
        return r == s.fixedRows - 1 ? titles.value(c) : r == s.fixedRows - 2 ? letters.value(c) : QString();
    };
    QVector<QString> cells;
    cells.reserve(qsizetype(s.rows) * kTradeGridCols);
    for (int r = 0; r < s.rows; ++r) {
        QString* row = s.cells.data() + qsizetype(r) * s.cols;
        for (int c = 0; c < ColBuyerMessage; ++c)
            cells.append(std::move(row[c]));
        cells.append(headText(r, ColBuyerMessage));
        cells.append(headText(r, ColSellerMemo));
        cells.append(std::move(row[ColBuyerMessage])); // the item column
        cells.append(headText(r, ColNoteRecord));
    }
    s.cells = std::move(cells);
    s.cols = kTradeGridCols;
    // An empty column's width: that of the strip, as the fitting gives it.
    const int emptyWidth = s.colWidths.value(ColStrip);
    s.colWidths.insert(ColBuyerMessage, 2, emptyWidth);
    s.colWidths.append(0);
    s.colAlignments.insert(ColBuyerMessage, 2, TradeGrid::kAlignLeftCenter);
    s.colAlignments.append(TradeGrid::kAlignLeftCenter);
}

} // namespace

QByteArray EncodeGridSnapshot(const TradeGrid& grid, const FindingList& findings)
{
    const qsizetype payloadSize = PayloadSize(grid) + FindingsSize(findings);
    QByteArray out(kHeaderSize + payloadSize, Qt::Uninitialized);
    std::memcpy(out.data(), kMagic, sizeof(kMagic));
    Writer writer(out.data() + sizeof(kMagic));
    writer.Put(kGridSnapshotFormat);
    // The oldest format that reads this file: one with findings needs 4.
    writer.Put(quint16(findings.IsEmpty() ? 1 : 4));
    writer.Put(quint32(0));
    writer.Put(quint64(payloadSize));
    writer.Put(quint32(0)); // checksum, filled in below
    writer.Put(quint32(0));

    const int rows = grid.Rows();
    const int cols = grid.Cols();
    writer.Put(qint32(rows));
    writer.Put(qint32(cols));
    writer.Put(qint32(grid.FixedRows()));
    writer.Put(qint32(grid.FixedCols()));
    writer.PutText(grid.Tag());
    for (int c = 0; c < cols; ++c)
        writer.Put(qint32(grid.ColWidth(c)));
    for (int c = 0; c < cols; ++c)
        writer.Put(qint32(grid.ColAlignment(c)));
    for (int r = 0; r < rows; ++r)
        writer.Put(qint32(grid.RowHeight(r)));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            writer.PutText(grid.TextMatrix(r, c));
    PutFindings(writer, findings);
    Q_ASSERT(writer.At() == out.data() + out.size());

    qToLittleEndian(PayloadChecksum(out.constData() + kHeaderSize, payloadSize), out.data() + kChecksumAt);
    return out;
}

SnapshotReadResult DecodeGridSnapshot(const QByteArray& bytes)
{
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.constData(), kMagic, sizeof(kMagic)) != 0)
        return Failed(SnapshotStatus::NotASnapshot, QStringLiteral("no recovery file header"));
    Reader header(bytes.constData() + sizeof(kMagic), kHeaderSize - qsizetype(sizeof(kMagic)));
    const quint16 format = header.Get<quint16>();
    const quint16 oldestReader = header.Get<quint16>();
    if (oldestReader > kGridSnapshotFormat)
        return Failed(SnapshotStatus::NewerFormat,
            QStringLiteral("format %1 needs a reader of format %2").arg(format).arg(oldestReader));
    const quint64 payloadSize = qFromLittleEndian<quint64>(bytes.constData() + kPayloadLengthAt);
    const quint32 checksum = qFromLittleEndian<quint32>(bytes.constData() + kChecksumAt);
    const qsizetype present = bytes.size() - kHeaderSize;
    if (payloadSize != quint64(present))
        return Failed(SnapshotStatus::Damaged,
            QStringLiteral("%1 payload bytes where %2 were written").arg(present).arg(payloadSize));
    const char* payload = bytes.constData() + kHeaderSize;
    if (PayloadChecksum(payload, present) != checksum)
        return Failed(SnapshotStatus::Damaged, QStringLiteral("checksum mismatch"));

    Reader in(payload, present);
    GridSnapshot s;
    s.rows = in.Get<qint32>();
    s.cols = in.Get<qint32>();
    s.fixedRows = in.Get<qint32>();
    s.fixedCols = in.Get<qint32>();
    if (!in.ok() || !ShapeIsValid(s))
        return Failed(SnapshotStatus::Damaged, QStringLiteral("impossible grid shape"));
    s.tag = in.GetText();
    s.colWidths = in.GetInts(s.cols);
    s.colAlignments = in.GetInts(s.cols);
    s.rowHeights = in.GetInts(s.rows);
    const qsizetype cellCount = qsizetype(s.rows) * s.cols;
    s.cells.reserve(cellCount);
    for (qsizetype i = 0; i < cellCount && in.ok(); ++i)
        s.cells.append(in.GetText());
    if (format >= 4 && in.ok() && !GetFindings(in, s.findings))
        return Failed(SnapshotStatus::Damaged, QStringLiteral("findings not readable"));
    // Fields a later writer appended after these are skipped; bytes beyond
    // a grid of a known format, or too few, mean the shape was not what was
    // written.
    if (!in.ok() || (format <= kGridSnapshotFormat && !in.AtEnd()))
        return Failed(SnapshotStatus::Damaged, QStringLiteral("contents do not match the grid shape"));
    if (!LayoutIsValid(s))
        return Failed(SnapshotStatus::Damaged, QStringLiteral("impossible width, height or alignment"));
    if (format < 2)
        AddItemColumn(s);
    if (format < 3)
        AddNoteColumns(s);
    SnapshotReadResult result;
    result.status = SnapshotStatus::Ok;
    result.snapshot = std::move(s);
    return result;
}

void ApplyGridSnapshot(const GridSnapshot& s, TradeGrid& grid)
{
    const bool wasVisible = grid.Visible();
    grid.SetVisible(false);
    // The grid keeps one scrollable row and column while the fixed counts
    // are set; lowering the counts afterwards keeps them.
    grid.SetCols(std::max(s.cols, s.fixedCols + 1));
    grid.SetRows(std::max(s.rows, s.fixedRows + 1));
    grid.SetFixedCols(s.fixedCols);
    grid.SetFixedRows(s.fixedRows);
    grid.SetCols(s.cols);
    grid.SetRows(s.rows);
    grid.SetTag(s.tag);
    for (int c = 0; c < s.cols; ++c) {
        grid.SetColWidth(c, s.colWidths.at(c));
        grid.SetColAlignment(c, s.colAlignments.at(c));
    }
    for (int r = 0; r < s.rows; ++r) {
        grid.SetRowHeight(r, s.rowHeights.at(r));
        for (int c = 0; c < s.cols; ++c)
            grid.SetTextMatrix(r, c, s.cells.at(qsizetype(r) * s.cols + c));
    }
    grid.SetVisible(wasVisible);
}

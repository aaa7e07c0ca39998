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

// The findings part after the payload: its length, its CRC, the body.
constexpr qsizetype kFindingsPartHead = 8;

qsizetype FindingsBodySize(const FindingList& findings)
{
    qsizetype size = 4;
    for (const Finding& f : findings.All())
        size += 4 + f.orderNumber.size() * 2 + 4 * 4 + 4 + f.seen.size() * 2;
    return size;
}

void PutFindings(Writer& writer, const FindingList& findings)
{
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

// Whether kind is one this version knows. A switch without a default, so
// that a kind added to the enum is a warning here until it is listed.
bool IsKnownKind(qint32 kind)
{
    if (kind < 0)
        return false;
    switch (FindingKind(kind)) {
    case FindingKind::OrderNumberShape:
    case FindingKind::ListRowShape:
    case FindingKind::FieldShape:
    case FindingKind::AddressToCheck:
    case FindingKind::ShippedWithoutWaybill:
    case FindingKind::WithoutShippingSection:
    case FindingKind::ToShipWithoutRecipient:
    case FindingKind::ShippingSectionRenamed:
    case FindingKind::StatusNotKnown:
    case FindingKind::ParcelsUnread:
    case FindingKind::PageDiffers:
    case FindingKind::PageUnreadable:
    case FindingKind::PageShort:
    case FindingKind::MaskedMobile:
        return true;
    }
    return false;
}

// The findings, from a part whose bytes are known to be as written. A kind
// or weight this version does not know comes from a later version: that
// finding is left out and counted (guessing its weight could turn a refused
// cell into a clean one); the others are kept. Not whole when the part does
// not hold what its count says.
struct FindingsRead {
    FindingList findings;
    int ofNewerKind = 0; // left out: a kind or weight of a later version
    bool whole = false;
};

FindingsRead GetFindings(Reader& in)
{
    FindingsRead read;
    const quint32 count = in.Get<quint32>();
    for (quint32 i = 0; i < count && in.ok(); ++i) {
        Finding f;
        f.orderNumber = in.GetText();
        f.page = in.Get<qint32>();
        f.column = in.Get<qint32>();
        const qint32 kind = in.Get<qint32>();
        const qint32 severity = in.Get<qint32>();
        f.seen = in.GetText();
        if (!in.ok())
            break;
        if (!IsKnownKind(kind) || severity < 0 || severity > int(FindingSeverity::Note)) {
            ++read.ofNewerKind;
            continue;
        }
        f.kind = FindingKind(kind);
        f.severity = FindingSeverity(severity);
        read.findings.Add(f);
    }
    read.whole = in.ok();
    return read;
}

// The findings part that follows a format-5 payload (tail: every byte after
// it). Bytes beyond the part are a later writer's and skipped.
void ReadFindingsPart(const char* tail, qsizetype size, SnapshotReadResult& result)
{
    if (size == 0)
        return;
    const auto damaged = [&](const QString& why) {
        result.findingsDamaged = true;
        result.findingsOfNewerKind = 0;
        result.snapshot.findings = FindingList();
        result.reason = QStringLiteral("findings dropped: ") + why;
    };
    if (size < kFindingsPartHead)
        return damaged(QStringLiteral("the findings part is cut off"));
    const quint64 length = qFromLittleEndian<quint32>(tail);
    const quint32 checksum = qFromLittleEndian<quint32>(tail + 4);
    if (length > quint64(size - kFindingsPartHead))
        return damaged(QStringLiteral("%1 findings bytes where %2 were written")
                           .arg(size - kFindingsPartHead)
                           .arg(length));
    const char* body = tail + kFindingsPartHead;
    if (PayloadChecksum(body, qsizetype(length)) != checksum)
        return damaged(QStringLiteral("findings checksum mismatch"));
    Reader in(body, qsizetype(length));
    FindingsRead read = GetFindings(in);
    if (!read.whole || !in.AtEnd())
        return damaged(QStringLiteral("the findings do not match their count"));
    result.snapshot.findings = std::move(read.findings);
    result.findingsOfNewerKind = read.ofNewerKind;
    if (result.findingsOfNewerKind > 0)
        result.reason = QStringLiteral("%1 findings of a later version dropped").arg(result.findingsOfNewerKind);
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
    const qsizetype payloadSize = PayloadSize(grid);
    const qsizetype findingsSize = findings.IsEmpty() ? 0 : kFindingsPartHead + FindingsBodySize(findings);
    QByteArray out(kHeaderSize + payloadSize + findingsSize, Qt::Uninitialized);
    std::memcpy(out.data(), kMagic, sizeof(kMagic));
    Writer writer(out.data() + sizeof(kMagic));
    writer.Put(kGridSnapshotFormat);
    // The oldest format that reads this file: one with findings needs 5.
    writer.Put(quint16(findings.IsEmpty() ? 1 : 5));
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
    Q_ASSERT(writer.At() == out.data() + kHeaderSize + payloadSize);
    qToLittleEndian(PayloadChecksum(out.constData() + kHeaderSize, payloadSize), out.data() + kChecksumAt);
    if (findingsSize > 0) {
        char* part = writer.At();
        writer.Put(quint32(findingsSize - kFindingsPartHead));
        writer.Put(quint32(0)); // checksum, filled in below
        PutFindings(writer, findings);
        qToLittleEndian(PayloadChecksum(part + kFindingsPartHead, findingsSize - kFindingsPartHead), part + 4);
    }
    Q_ASSERT(writer.At() == out.data() + out.size());
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
    const qsizetype inFile = bytes.size() - kHeaderSize;
    // From format 5 on, parts of their own may follow the payload.
    const bool partsFollow = format >= 5;
    if (payloadSize > quint64(inFile) || (!partsFollow && payloadSize != quint64(inFile)))
        return Failed(SnapshotStatus::Damaged,
            QStringLiteral("%1 payload bytes where %2 were written").arg(inFile).arg(payloadSize));
    const qsizetype present = qsizetype(payloadSize);
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
    // Format 4 keeps its findings in the payload, whose checksum held.
    int ofNewerKind = 0;
    if (format == 4 && in.ok() && !in.AtEnd()) {
        FindingsRead read = GetFindings(in);
        if (!read.whole)
            return Failed(SnapshotStatus::Damaged, QStringLiteral("findings not readable"));
        s.findings = std::move(read.findings);
        ofNewerKind = read.ofNewerKind;
    }
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
    result.findingsOfNewerKind = ofNewerKind;
    if (ofNewerKind > 0)
        result.reason = QStringLiteral("%1 findings of a later version dropped").arg(ofNewerKind);
    if (partsFollow)
        ReadFindingsPart(payload + present, inFile - present, result);
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

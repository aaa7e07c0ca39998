#include "WorkbookCheck.h"

#include <QSet>

#include <zlib.h>

namespace {

constexpr quint32 kEndOfDirectory = 0x06054b50;
constexpr quint32 kDirectoryEntry = 0x02014b50;
constexpr quint32 kLocalHeader = 0x04034b50;

class LittleEndianReader {
public:
    explicit LittleEndianReader(const QByteArray& bytes)
        : bytes_(bytes)
    {
    }
    bool Has(qint64 offset, qint64 size) const
    {
        return offset >= 0 && size >= 0 && offset <= bytes_.size() && size <= bytes_.size() - offset;
    }
    quint32 U16(qint64 offset) const { return Byte(offset) | Byte(offset + 1) << 8; }
    quint32 U32(qint64 offset) const { return U16(offset) | U16(offset + 2) << 16; }

private:
    quint32 Byte(qint64 offset) const { return quint8(bytes_.at(offset)); }
    const QByteArray& bytes_;
};

bool Inflate(const char* data, qint64 size, qint64 expectedSize, QByteArray& out)
{
    out.resize(expectedSize);
    z_stream stream {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    stream.avail_in = uInt(size);
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(expectedSize);
    const int result = inflate(&stream, Z_FINISH);
    const bool complete = result == Z_STREAM_END && stream.total_out == uLong(expectedSize);
    inflateEnd(&stream);
    return complete;
}

// The part's root element is closed at its end, so nothing was cut off.
bool XmlPartIsComplete(const QByteArray& xml)
{
    qsizetype start = 0;
    while ((start = xml.indexOf('<', start)) >= 0 && start + 1 < xml.size()
        && (xml.at(start + 1) == '?' || xml.at(start + 1) == '!'))
        ++start;
    if (start < 0)
        return false;
    qsizetype nameEnd = start + 1;
    while (nameEnd < xml.size() && !QByteArrayView(" \t\r\n/>").contains(xml.at(nameEnd)))
        ++nameEnd;
    const QByteArray root = xml.mid(start + 1, nameEnd - start - 1);
    const QByteArray tail = xml.trimmed();
    if (root.isEmpty())
        return false;
    if (tail.endsWith("</" + root + '>'))
        return true;
    // A root without content: the only element, closed by "/>".
    return tail.endsWith("/>") && xml.indexOf('<', start + 1) < 0;
}

} // namespace

bool IsCompleteWorkbook(const QByteArray& bytes)
{
    const LittleEndianReader in(bytes);
    qint64 end = bytes.size() - 22;
    const qint64 lowest = std::max<qint64>(0, end - 0xFFFF);
    while (end >= lowest && in.U32(end) != kEndOfDirectory)
        --end;
    if (end < lowest)
        return false;
    const quint32 entries = in.U16(end + 10);
    qint64 entry = in.U32(end + 16);
    QSet<QByteArray> names;
    for (quint32 i = 0; i < entries; ++i) {
        if (!in.Has(entry, 46) || in.U32(entry) != kDirectoryEntry)
            return false;
        const quint32 method = in.U16(entry + 10);
        const quint32 crc = in.U32(entry + 16);
        const qint64 packedSize = in.U32(entry + 20);
        const qint64 size = in.U32(entry + 24);
        const qint64 nameLength = in.U16(entry + 28);
        const qint64 skip = nameLength + in.U16(entry + 30) + in.U16(entry + 32);
        const qint64 local = in.U32(entry + 42);
        if (!in.Has(entry + 46, skip) || !in.Has(local, 30) || in.U32(local) != kLocalHeader)
            return false;
        const QByteArray name = bytes.mid(entry + 46, nameLength);
        const qint64 data = local + 30 + in.U16(local + 26) + in.U16(local + 28);
        if (!in.Has(data, packedSize))
            return false;
        QByteArray content;
        if (method == 8) {
            if (!Inflate(bytes.constData() + data, packedSize, size, content))
                return false;
        } else if (method == 0 && packedSize == size) {
            content = bytes.mid(data, size);
        } else {
            return false;
        }
        if (crc32(0, reinterpret_cast<const Bytef*>(content.constData()), uInt(content.size())) != crc)
            return false;
        if ((name.endsWith(".xml") || name.endsWith(".rels")) && !XmlPartIsComplete(content))
            return false;
        names.insert(name);
        entry += 46 + skip;
    }
    return names.contains("[Content_Types].xml") && names.contains("xl/workbook.xml")
        && names.contains("xl/worksheets/sheet1.xml");
}

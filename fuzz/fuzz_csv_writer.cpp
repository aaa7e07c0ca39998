// Random grids written as CSV and read back: the file holds exactly the
// visible cells, each followed by its TAB, in GBK.

#include "FuzzSupport.h"
#include "core/export/CsvWriter.h"
#include "core/progress/Progress.h"
#include "core/grid/TradeGrid.h"
#include "core/text/AnsiCodec.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace {

const char16_t kAlphabet[] = u"a,\"\r\n\t=-+@1. 订€";

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size)
        : data_(data)
        , size_(size)
    {
    }
    bool atEnd() const { return pos_ >= size_; }
    uint8_t next() { return pos_ < size_ ? data_[pos_++] : 0; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

QList<QStringList> ReadCsv(const QString& text, bool& wellFormed)
{
    QList<QStringList> records;
    QStringList fields;
    QString field;
    bool quoted = false;
    bool fieldWasQuoted = false;
    wellFormed = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field.append(QLatin1Char('"'));
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field.append(c);
            }
        } else if (c == QLatin1Char('"') && field.isEmpty() && !fieldWasQuoted) {
            quoted = fieldWasQuoted = true;
        } else if (c == QLatin1Char(',')) {
            fields.append(field);
            field.clear();
            fieldWasQuoted = false;
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
            fields.append(field);
            records.append(fields);
            fields.clear();
            field.clear();
            fieldWasQuoted = false;
            ++i;
        } else {
            field.append(c);
        }
    }
    wellFormed = !quoted && field.isEmpty() && fields.isEmpty();
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzsupport::EnsureApplication();
    ByteReader in(data, size);
    TradeGrid grid;
    const int rows = 1 + in.next() % 6;
    const int cols = 1 + in.next() % 6;
    grid.SetCols(cols);
    grid.SetRows(rows);
    for (int r = 0; r < rows; ++r)
        if (in.next() % 5 == 0)
            grid.SetRowHeight(r, 0);
    for (int c = 0; c < cols; ++c)
        if (in.next() % 5 == 0)
            grid.SetColWidth(c, 0);
    for (int r = 0; r < rows && !in.atEnd(); ++r) {
        for (int c = 0; c < cols && !in.atEnd(); ++c) {
            QString text;
            const int length = in.next() % 8;
            for (int k = 0; k < length; ++k)
                text.append(QChar(kAlphabet[in.next() % (sizeof(kAlphabet) / sizeof(char16_t) - 1)]));
            grid.SetTextMatrix(r, c, text);
        }
    }

    static QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/grid.csv");
    Progress progress;
    FUZZ_CHECK(WriteGridCsv(progress, grid, path).IsWritten());
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    bool wellFormed = false;
    const QList<QStringList> records = ReadCsv(DecodeAnsi(file.readAll()), wellFormed);
    FUZZ_CHECK(wellFormed);

    int record = 0;
    for (int r = 0; r < rows; ++r) {
        if (grid.RowHeight(r) <= 0)
            continue;
        FUZZ_CHECK(record < records.size());
        const QStringList& fields = records.at(record++);
        int field = 0;
        for (int c = 0; c < cols; ++c) {
            if (grid.ColWidth(c) <= 0)
                continue;
            FUZZ_CHECK(field < fields.size());
            const QString& written = fields.at(field++);
            const QString& text = grid.TextMatrix(r, c);
            // A text that a spreadsheet would take for a formula is written
            // with a leading apostrophe; everything else as it is.
            const bool exact = written == text + QLatin1Char('\t');
            const bool guarded = written == QLatin1Char('\'') + text + QLatin1Char('\t') && !text.isEmpty()
                && QStringLiteral("=+-@").contains(text.at(0));
            FUZZ_CHECK(exact || guarded);
        }
        FUZZ_CHECK(field == fields.size() || (field == 0 && fields.size() == 1 && fields.at(0).isEmpty()));
    }
    FUZZ_CHECK(record == records.size());
    return 0;
}

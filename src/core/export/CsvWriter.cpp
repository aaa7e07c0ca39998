#include "CsvWriter.h"

#include "core/base/Done.h"
#include "core/text/AnsiCodec.h"

#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"

#include <cerrno>
#include <QIODevice>
#include <QSaveFile>

namespace {

// Optional sign, then digits with at most one decimal point: "-12", "+0.5", "-.5".
bool IsPlainNumber(QStringView text)
{
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-'))
        text = text.mid(1);
    bool digits = false;
    bool point = false;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            digits = true;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

// Every byte written, or the device's reason.
Done WriteAll(QIODevice& out, const QByteArray& bytes)
{
    if (out.write(bytes) != bytes.size())
        return Done::Failed(out.errorString());
    return Done::Ok();
}

} // namespace

int ReplaceBeyondGbk(QByteArray& bytes)
{
    int replaced = 0;
    char* data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype to = 0;
    for (qsizetype from = 0; from < size;) {
        const uchar lead = uchar(data[from]);
        if (lead < 0x81 || lead == 0xFF || from + 1 >= size) {
            data[to++] = data[from++];
            continue;
        }
        const uchar second = uchar(data[from + 1]);
        if (second >= 0x30 && second <= 0x39 && from + 3 < size) {
            data[to++] = '?';
            from += 4;
            ++replaced;
            continue;
        }
        data[to++] = data[from++];
        data[to++] = data[from++];
    }
    bytes.truncate(to);
    return replaced;
}

bool LooksLikeFormula(const QString& cellText)
{
    if (cellText.isEmpty())
        return false;
    const QChar first = cellText.front();
    if (first == u'=' || first == u'@')
        return true;
    if (first == u'+' || first == u'-')
        return !IsPlainNumber(cellText);
    return false;
}

void AppendCsvField(QString& line, const QString& cellText)
{
    const bool guard = LooksLikeFormula(cellText);
    bool quotes = false;
    bool quote = false;
    const qsizetype length = cellText.size();
    const QChar* text = cellText.constData();
    for (qsizetype i = 0; i < length && !quotes; ++i) {
        const QChar c = text[i];
        if (c == u'"')
            quotes = true;
        else if (c == u',' || (c == u'\r' && i + 1 < length && text[i + 1] == u'\n'))
            quote = true;
    }
    quote = quote || quotes;
    if (quote)
        line += u'"';
    if (guard)
        line += u'\'';
    if (quotes) {
        for (qsizetype i = 0; i < length; ++i) {
            if (text[i] == u'"')
                line += u'"';
            line += text[i];
        }
    } else {
        line += cellText;
    }
    line += u'\t';
    if (quote)
        line += u'"';
}

QString CsvField(const QString& cellText)
{
    QString field;
    AppendCsvField(field, cellText);
    return field;
}

QString OneLineText(const QString& text)
{
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    line.replace(u'\r', u'\n');
    return line.split(u'\n').join(QStringLiteral(" / "));
}

ExportResult WriteGridCsv(Progress& progress, const TradeGrid& grid, QIODevice& out, ExportNotes notes)
{
    const int rows = grid.Rows();
    StartProgress(progress, QStringLiteral("正在导出数据至CSV格式文件……"), rows, 0);
    // Lines are encoded and written in batches: one conversion call per
    // batch instead of per line.
    constexpr qsizetype kFlushChars = 1 << 15;
    QString pending;
    pending.reserve(kFlushChars + 4096);
    const QVector<int> cols = ExportedColumns(grid, notes);
    const bool tradeGrid = grid.Tag() == QString::fromUtf8(kTradeGridTag);
    int beyondGbk = 0;
    auto flush = [&] {
        QByteArray bytes = EncodeAnsi(pending);
        beyondGbk += ReplaceBeyondGbk(bytes);
        const bool written = WriteAll(out, bytes).IsDone(); // the reason is out's errorString()
        pending.clear();
        return written;
    };
    // Progress steps run the event loop: a row that disappeared meanwhile
    // ends the export command (GridRangeError) with the old file as it was,
    // rather than leaving a file that silently misses rows.
    for (int r = 0; r < rows; ++r) {
        if (grid.RowHeight(r) > 0) {
            bool first = true;
            for (const int c : cols) {
                if (grid.ColWidth(c) <= 0)
                    continue;
                if (!first)
                    pending += u',';
                first = false;
                if (tradeGrid && c >= kSheetTradeColumns)
                    AppendCsvField(pending, OneLineText(grid.TextMatrix(r, c)));
                else
                    AppendCsvField(pending, grid.TextMatrix(r, c));
            }
            pending += QStringLiteral("\r\n");
            if (pending.size() >= kFlushChars && !flush())
                return ExportResult::Failed({}, QStringLiteral("writing failed: ") + out.errorString());
        }
        StepProgress(progress, 1, ProgressPagesMode());
    }
    if (!flush())
        return ExportResult::Failed({}, QStringLiteral("writing failed: ") + out.errorString());
    CloseProgress(progress);
    ExportResult written = ExportResult::Written({});
    written.beyondGbk = beyondGbk;
    return written;
}

ExportResult WriteGridCsv(Progress& progress, const TradeGrid& grid, const QString& path, ExportNotes notes)
{
    // QSaveFile writes beside the target and renames over it on commit: the
    // old file stays whole until the new one is complete. Unbuffered, so
    // every write reports what the disk took: the flush inside commit does
    // not report a short write, and a small file would be committed cut off.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return ExportResult::Failed(path, file.errorString(), errno);
    errno = 0;
    ExportResult written = WriteGridCsv(progress, grid, static_cast<QIODevice&>(file), notes);
    written.path = path;
    if (!written.IsWritten()) {
        // A write the disk took in part reports no error of its own ("Unknown
        // error"): the system's number, read before anything else runs, says
        // why (no space).
        written.systemError = errno;
        file.cancelWriting();
        return written;
    }
    if (!file.commit())
        return ExportResult::Failed(path, file.errorString(), errno);
    return written;
}

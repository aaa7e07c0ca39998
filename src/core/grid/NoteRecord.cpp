#include "NoteRecord.h"

#include "GridSetup.h"
#include "GridSteps.h"
#include "RecordLines.h"
#include "TradeGrid.h"

namespace {

constexpr int kFields = 3;

// Backslash escapes: "\\" a backslash, "\n" a line break (CR LF in the
// grid), "\t" a TAB.
QString Escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\') {
            out += QStringLiteral("\\\\");
        } else if (c == u'\t') {
            out += QStringLiteral("\\t");
        } else if (c == u'\r' || c == u'\n') {
            out += QStringLiteral("\\n");
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString Unescaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        if (next == u'n')
            out += QStringLiteral("\r\n");
        else if (next == u't')
            out += u'\t';
        else
            out += next;
    }
    return out;
}

} // namespace

QString NoteRecordLine(const TradeNotes& notes)
{
    return notes.order + kRecordFieldSeparator + Escaped(notes.message) + kRecordFieldSeparator
        + Escaped(notes.memo);
}

QVector<TradeNotes> NoteRecordsOf(const QString& cell)
{
    QVector<TradeNotes> records;
    // The texts are escaped: they hold no line break or TAB of their own.
    ForEachRecordLine(cell, kFields, [&](const QList<QStringView>& fields) {
        if (!fields[0].isEmpty())
            records.append({ fields[0].toString(), Unescaped(fields[1]), Unescaped(fields[2]) });
    });
    return records;
}

void WriteRowNotes(TradeGrid& grid, int row, const TradeNotes& notes)
{
    SetCellIfInside(grid, row, ColBuyerMessage, notes.message);
    SetCellIfInside(grid, row, ColSellerMemo, notes.memo);
    SetCellIfInside(grid, row, ColNoteRecord, notes.IsEmpty() ? QString() : NoteRecordLine(notes));
}

void RefreshNoteRecord(TradeGrid& grid, int row, const QString& order)
{
    WriteRowNotes(
        grid, row, { order, CellOrEmpty(grid, row, ColBuyerMessage), CellOrEmpty(grid, row, ColSellerMemo) });
}

bool RowHasNotes(const TradeGrid& grid, int row)
{
    return !CellOrEmpty(grid, row, ColBuyerMessage).isEmpty()
        || !CellOrEmpty(grid, row, ColSellerMemo).isEmpty();
}

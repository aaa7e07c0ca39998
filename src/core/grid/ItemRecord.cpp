#include "ItemRecord.h"

#include "RecordLines.h"

#include "core/text/Blanks.h"
#include "core/trade/ColumnTable.h"

#include <QStringList>

namespace {

constexpr int kFields = 4;

} // namespace

QString ItemRecordLine(const ItemRecord& record)
{
    // One allocation: the parse writes a line for every item of every page.
    QString line;
    line.reserve(
        record.order.size() + record.unitPrice.size() + record.quantity.size() + record.text.size() + 3);
    line.append(record.order)
        .append(kRecordFieldSeparator)
        .append(record.unitPrice)
        .append(kRecordFieldSeparator);
    line.append(record.quantity).append(kRecordFieldSeparator).append(record.text);
    return line;
}

QVector<ItemRecord> ItemRecordsOf(const QString& cell)
{
    QVector<ItemRecord> records;
    ForEachRecordLine(cell, kFields, [&](const QList<QStringView>& fields) {
        records.append({ fields[0].toString(), fields[1].toString(), fields[2].toString(), fields[3].toString() });
    });
    return records;
}

QString FullItemText(QStringView cell)
{
    // One pass, no copy of the cell: this runs for every item of every page.
    static constexpr QStringView kSnapshotLink = u"[交易快照]";
    // Written through a pointer into room for the whole cell, then cut to
    // its length: the text only ever shrinks.
    QString single(cell.size(), Qt::Uninitialized);
    QChar* const begin = single.data();
    QChar* out = begin;
    bool blank = true; // drops leading blanks
    for (qsizetype i = 0; i < cell.size();) {
        const QChar c = cell[i];
        if (c == u'[' && cell.sliced(i).startsWith(kSnapshotLink)) {
            i += kSnapshotLink.size();
            continue;
        }
        if (c == u'&' && cell.sliced(i).startsWith(kNbspEntity)) {
            i += kNbspEntity.size();
            blank = true;
            continue;
        }
        ++i;
        if (IsAnyBlank(c)) {
            blank = true;
            continue;
        }
        if (blank && out != begin)
            *out++ = u' ';
        blank = false;
        *out++ = c;
    }
    single.truncate(out - begin);
    return single;
}

ItemTextParts SplitItemText(const QString& text)
{
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    qsizetype first = 0;
    while (first < words.size() && !words[first].contains(u'：'))
        ++first;
    // A title is never all options: a first word with "：" stays the title.
    if (first == 0 && !words.isEmpty())
        first = 1;
    return { words.first(first).join(u' '), words.sliced(first).join(u' ') };
}

#include "ItemRecord.h"

#include "ColumnTable.h"

#include <QStringList>

namespace {

constexpr QChar kFieldSeparator = u'\t';
constexpr int kFields = 4;

} // namespace

QString ItemRecordLine(const ItemRecord& record)
{
    return record.order + kFieldSeparator + record.unitPrice + kFieldSeparator + record.quantity + kFieldSeparator
        + record.text;
}

QVector<ItemRecord> ItemRecordsOf(const QString& cell)
{
    QVector<ItemRecord> records;
    // The merge joins lines with CR LF.
    for (QStringView line : QStringView(cell).split(u'\n', Qt::SkipEmptyParts)) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QList<QStringView> fields = line.split(kFieldSeparator);
        if (fields.size() != kFields)
            continue;
        records.append({ fields[0].toString(), fields[1].toString(), fields[2].toString(), fields[3].toString() });
    }
    return records;
}

QString FullItemText(QStringView cell)
{
    QString text = cell.toString();
    text.remove(QStringLiteral("[交易快照]"));
    text.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    QString single;
    single.reserve(text.size());
    bool blank = true; // drops leading blanks
    for (const QChar c : std::as_const(text)) {
        if (IsAnyBlank(c)) {
            blank = true;
            continue;
        }
        if (blank && !single.isEmpty())
            single += u' ';
        blank = false;
        single += c;
    }
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

QString TradeOfOrder(const QString& order)
{
    const qsizetype mark = order.indexOf(u'_');
    return mark < 0 ? order : order.left(mark);
}

#pragma once
// The hidden record columns of the trade grid (ItemRecord.h, NoteRecord.h)
// hold one record a line, its fields TAB-separated. The merge joins lines
// with CR LF, so a cell is read line by line whatever joined it.

#include <QList>
#include <QStringView>

inline constexpr QChar kRecordFieldSeparator = u'\t';

// Calls take(fields) for each line of cell with exactly fieldCount fields;
// lines of another shape are skipped.
template <typename Take> void ForEachRecordLine(QStringView cell, qsizetype fieldCount, Take&& take)
{
    for (QStringView line : cell.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QList<QStringView> fields = line.split(kRecordFieldSeparator);
        if (fields.size() == fieldCount)
            take(fields);
    }
}

#pragma once
// What the hidden item column of the trade grid holds: one line per item,
// its order number (with the "_n" of a further item), unit price, quantity
// and the item text in full, as the list shows it (title and options).
// The shown "宝贝" column keeps only the title's first word; the printed
// documents need the rest. Each line names its own order row, so the
// merge's line-wise join never folds two items into one and a merged row
// still knows every item's own quantity.

#include <QString>
#include <QStringView>
#include <QVector>

struct ItemRecord {
    QString order; // as in the order column: 123 or 123_1
    QString unitPrice;
    QString quantity;
    QString text; // title and options, blanks of any kind made single spaces
};

QString ItemRecordLine(const ItemRecord& record);
// The records of a cell; lines of another shape are skipped.
QVector<ItemRecord> ItemRecordsOf(const QString& cell);

// An item cell of the list as one line: tags are already gone; the
// "[交易快照]" link and "&nbsp;" are dropped and blanks of any kind become
// single spaces.
QString FullItemText(QStringView cell);

// The title and the options ("颜色分类：白色 尺码：M") of an item text: the
// options begin at the first word that holds a "：".
struct ItemTextParts {
    QString title;
    QString options;
};
ItemTextParts SplitItemText(const QString& text);

#include "TradeGridDelegate.h"

#include "core/grid/NoteRecord.h"
#include "core/grid/TradeGrid.h"

#include <QColor>

TradeGridDelegate::TradeGridDelegate(TradeGrid* grid, QObject* parent)
    : QStyledItemDelegate(parent)
    , grid_(grid)
{
}

QString TradeGridDelegate::DisplayLines(const QString& text)
{
    QString lines;
    lines.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            continue; // the LF that follows ends the line
        lines.append(c == u'\r' || c == u'\n' ? QChar(QChar::LineSeparator) : c);
    }
    return lines;
}

QString TradeGridDelegate::displayText(const QVariant& value, const QLocale& locale) const
{
    if (value.typeId() == QMetaType::QString)
        return DisplayLines(value.toString());
    return QStyledItemDelegate::displayText(value, locale);
}

void TradeGridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->features &= ~QStyleOptionViewItem::WrapText;
    option->textElideMode = Qt::ElideNone;
    if (index.column() < grid_->FixedCols()) {
        // A trade with a buyer's message or a seller's memo is marked in
        // the fixed columns, which stay in sight however the grid scrolls.
        const bool notes = index.row() >= grid_->FixedRows() && RowHasNotes(*grid_, index.row());
        option->backgroundBrush = notes ? QBrush(QColor(kNotesRowColor)) : option->palette.button();
    } else if (tintOf_) {
        const Tint tint = tintOf_(index.row(), index.column());
        if (tint == Tint::Refused)
            option->backgroundBrush = QColor(0xf6, 0xc6, 0xc6);
        else if (tint == Tint::ToCheck)
            option->backgroundBrush = QColor(0xfb, 0xee, 0xa8);
    }
}

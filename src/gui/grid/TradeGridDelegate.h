#pragma once
// Draws the trade grid's cells: multi-line texts line by line (CR LF as the
// grid stores them), no ellipsis, and the fixed columns in the colour of
// fixed cells (a warm one on the rows of trades with a message or memo).

#include <QColor>
#include <QStyledItemDelegate>

class TradeGrid;

class TradeGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TradeGridDelegate(TradeGrid* grid, QObject* parent = nullptr);

    QString displayText(const QVariant& value, const QLocale& locale) const override;

    // The fixed cells' colour on a row with a buyer's message or seller's memo.
    static constexpr QRgb kNotesRowColor = 0xFFFFD27F;

    // The grid's line breaks in the form text layout breaks lines at.
    static QString DisplayLines(const QString& text);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    TradeGrid* grid_;
};

#pragma once
// Draws the trade grid's cells: multi-line texts line by line (CR LF as the
// grid stores them), no ellipsis, and the fixed columns in the colour of
// fixed cells (a warm one on the rows of trades with a message or memo).
// Cells a check refused are tinted red, cells to check yellow.

#include <QColor>
#include <QStyledItemDelegate>

#include <functional>

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

    // How a cell was judged: none, refused, or to check.
    enum class Tint { None, Refused, ToCheck };
    using TintOf = std::function<Tint(int row, int col)>;
    void SetTints(TintOf tintOf) { tintOf_ = std::move(tintOf); }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    TradeGrid* grid_;
    TintOf tintOf_;
};

#pragma once
// The trade grid's fixed rows, drawn as the table's horizontal header so
// they stay in place while the data rows scroll and follow the columns when
// the table scrolls sideways. Each section shows the texts of rows
// 0 … FixedRows - 1 of its column, stacked, each as tall as its row.

#include <QHeaderView>

class TradeGrid;

class TradeGridHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit TradeGridHeader(TradeGrid* grid, QWidget* parent = nullptr);

    // Height in pixels of the fixed rows together.
    int FixedRowsHeight() const;
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    TradeGrid* grid_;
};

#pragma once
// What the grid holds and what the checks found on it, under the grid
// where the seller works: a status line after every command ("已提取 2000
// 笔交易，共 1353 行（412 行合并了多笔交易） · 2 笔未写入 · 5 笔需核对"), and
// one line per finding, wrapped to the pane's width, when there are any. It
// never takes the focus by itself and never stops the seller's work, unlike
// a message box after every walk. Activating a line (double-click or Enter)
// asks for its trade: the window selects the row and opens the trade's
// detail page. The lines can be copied (Ctrl+C, or the context menu).

#include "core/grid/TradeRows.h"
#include "core/trade/Finding.h"

#include <QWidget>

// The pane's height under the grid when it lists findings, in pixels.
inline constexpr int kFindingsPaneHeight = 120;

class QLabel;
class QListWidget;

class FindingsPane : public QWidget {
    Q_OBJECT
public:
    explicit FindingsPane(QWidget* parent = nullptr);

    // Shows the status line of what the grid holds, and the findings (the
    // list hidden when there are none).
    void ShowFindings(const FindingList& findings, const GridTally& grid);
    // "已提取 60 笔交易，共 60 行 · 2 笔需核对 · 1 页可能已改版"
    static QString StatusLine(const FindingList& findings, const GridTally& grid);
    // A finding's line in the list: its whole text, and for a trade how to
    // look it up.
    static QString PaneLine(const Finding& finding);
    // The pane's height within available pixels: the status line alone, or
    // with the list.
    int HeightWithin(int available) const;
    QListWidget* List() const { return list_; }
    QLabel* Status() const { return status_; }
    // The selected lines' texts, one a line, on the clipboard.
    void CopySelected() const;

signals:
    // A line of a trade was activated; column is the grid column it names
    // (-1 for the whole trade).
    void tradeActivated(const QString& orderNumber, int column);

private:
    QLabel* status_ = nullptr;
    QListWidget* list_ = nullptr;
};

#pragma once
// The findings of the grid's trades, listed under the grid where the seller
// works: one line per finding with its reason, a status line that counts
// them ("已提取 60 笔交易 · 2 笔需核对 · 1 页可能已改版"), hidden while there
// is nothing to show. It never takes the focus by itself and never stops
// the seller's work, unlike a message box after every walk; activating a
// line asks for its trade's row.

#include "core/trade/Finding.h"

#include <QWidget>

// The pane's height under the grid, in pixels.
inline constexpr int kFindingsPaneHeight = 120;

class QLabel;
class QListWidget;

class FindingsPane : public QWidget {
    Q_OBJECT
public:
    explicit FindingsPane(QWidget* parent = nullptr);

    // Shows findings (hidden when there are none); trades is how many the
    // grid holds.
    void ShowFindings(const FindingList& findings, int trades);
    // "已提取 60 笔交易 · 2 笔需核对 · 1 页可能已改版"
    static QString StatusLine(const FindingList& findings, int trades);
    QListWidget* List() const { return list_; }

signals:
    // A line of a trade was activated (double-click or Enter).
    void tradeActivated(const QString& orderNumber);

private:
    QLabel* status_ = nullptr;
    QListWidget* list_ = nullptr;
};

#pragma once
// A thin dark-red bar between the grid and the browser that the user drags.

#include <QWidget>

class SplitterBar : public QWidget {
    Q_OBJECT
public:
    SplitterBar(int index, Qt::Orientation movesAlong, QWidget* parent);
    int Index() const { return index_; }

signals:
    // The mouse moved over the bar with only the left button held.
    void dragged(int index);
    // Any button was let go over the bar.
    void released(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int index_;
};

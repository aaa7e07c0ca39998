#pragma once
// The progress window itself: message, counter, a bar that fills from the
// left, the percentage on the bar and the times at its right. Laid out in
// twips like the rest of the program's windows.

#include <QLabel>
#include <QWidget>

// The bar area. It remembers how far it has been painted so that the blue
// area only ever grows until it is cleared, repaints included.
class BarPicture : public QWidget {
    Q_OBJECT
public:
    explicit BarPicture(QWidget* parent = nullptr);
    void Clear();
    // Paints up to fraction of the width (clipped to 0…1); a smaller
    // fraction than painted before changes nothing.
    void PaintUpTo(double fraction);
    int PaintedWidth() const { return paintedWidth_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int paintedWidth_ = 0;
};

class IndicatorForm : public QWidget {
    Q_OBJECT
public:
    IndicatorForm();

    QLabel* LBL; // the message
    QLabel* L1; // the counter "(n/total)"
    BarPicture* Pic; // the bar, holding the next two
    QLabel* Percent; // the percentage
    QLabel* L2; // elapsed/remaining/total time

    void SetMessage(const QString& text);

signals:
    // The user closed the window (title bar or system menu).
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;
};

#pragma once
// Keeps the main window where the user left it. On construction it places
// the window: where it was last time (moved and shrunk onto the screen when
// the screens have changed since), or on a first start large and centred on
// the work area. From then on it stores the size, position and maximised
// state whenever they change, a moment after the last change, and at once
// when the window closes.

#include <QObject>
#include <QString>
#include <QTimer>

class QWidget;
class Settings;

class WindowPlacementKeeper : public QObject {
    Q_OBJECT
public:
    // window's minimum size must be set: neither placement goes below it.
    // The placement is read from and stored in settings, which must outlive
    // the keeper.
    WindowPlacementKeeper(QWidget* window, Settings& settings);

    // Stores the placement now when it differs from the one stored.
    void SaveNow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Restore();
    void PlaceForFirstStart();

    QWidget* window_;
    Settings& settings_;
    QTimer saveTimer_;
    QString lastSaved_;
};

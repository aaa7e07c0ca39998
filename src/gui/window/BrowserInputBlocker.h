#pragma once
// Keeps the user's mouse and keys away from the browser while a command
// drives it: a click on a link there would take the walk to another page.
// The page itself still loads, runs and takes the command's own clicks.
// It filters at the application, so every widget the engine puts inside
// the view is covered, whatever it replaces them with.

#include <QObject>
#include <QPointer>

class QWidget;

class BrowserInputBlocker : public QObject {
    Q_OBJECT
public:
    explicit BrowserInputBlocker(QWidget* browser);
    ~BrowserInputBlocker() override;
    void SetBlocking(bool blocking);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> browser_;
    bool blocking_ = false;
};

#pragma once
#include "core/session/PageLoadWatch.h"

#include <QObject>

class QWebEngineView;

// Counts the browser's page loads so a command can wait for the one its
// click started.
class BrowserLoadWatch : public QObject, public PageLoadWatch {
    Q_OBJECT
public:
    explicit BrowserLoadWatch(QWebEngineView* view);
    void Arm() override;
    bool WaitLoaded(int timeoutMs) override;
    bool LastLoadFailed() const override { return lastFailed_; }
    void RetryLoad() override;

private:
    QWebEngineView* view_;
    bool lastFailed_ = false;
    quint64 started_ = 0;
    quint64 finished_ = 0;
    quint64 startedAtArm_ = 0;
};

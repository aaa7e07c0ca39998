#pragma once
// Whether the host a download pass fetches from still answers. Every attempt
// reports how it ended: any completed response is a sign of life, and a run
// of connection failures (refused, reset, unreachable) without one that has
// lasted the give-up time makes the host unreachable. The pass then stops
// spending every download's retries on a host that is gone. One object
// serves one pass, so a test shortens the time for its own object.

#include <QElapsedTimer>
#include <QObject>

class HostReachability : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultGiveUpMs = 15000;

    explicit HostReachability(int giveUpAfterMs = kDefaultGiveUpMs, QObject* parent = nullptr);

    // Connection failures came since the last answer.
    bool IsFailing() const { return failingSince_.isValid(); }
    // They have come for the give-up time; the next answer ends it.
    bool IsUnreachable() const { return unreachable_; }

    void NoteAnswer();
    void NoteConnectionFailure();

signals:
    void FailingChanged(bool failing);
    void BecameUnreachable();

private:
    int giveUpAfterMs_;
    QElapsedTimer failingSince_; // invalid while the host answers
    bool unreachable_ = false;
};

#pragma once
// Whether the host a download pass fetches from still answers. Every attempt
// reports how it went: any byte of an answer is a sign of life, and an
// attempt that ended without one (refused, reset, unreachable, or nothing
// at all within the first-byte limit) is a failure without an answer. When
// no answer has come for the give-up time while requests were out, the host
// is unreachable; the next answer ends that. One object serves one pass, so
// a test shortens the time for its own object.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class HostReachability : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultGiveUpMs = 15000;

    explicit HostReachability(int giveUpAfterMs = kDefaultGiveUpMs, QObject* parent = nullptr);

    // Failures without an answer came since the last answer.
    bool IsFailing() const { return silentSinceMs_ >= 0; }
    // No answer for the give-up time; the next answer ends it.
    bool IsUnreachable() const { return unreachableSinceMs_ >= 0; }
    // How long the host has been unreachable; 0 while it is not.
    qint64 UnreachableForMs() const;
    // How long the host has given no answer: since the silence began, the
    // give-up time included; 0 while it answers.
    qint64 SilentForMs() const;

    void NoteAnswer();
    // An attempt that had been out for waitedMs ended without an answer:
    // the silence began then at the latest.
    void NoteConnectionFailure(qint64 waitedMs = 0);

signals:
    void FailingChanged(bool failing);
    void BecameUnreachable();

private:
    void Judge();

    int giveUpAfterMs_;
    QTimer judge_; // the give-up time after the silence began
    QElapsedTimer clock_;
    qint64 lastAnswerMs_ = 0;
    qint64 silentSinceMs_ = -1; // -1 while the host answers
    qint64 unreachableSinceMs_ = -1;
};

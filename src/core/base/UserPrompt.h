#pragma once
// What logic code asks of the user goes through this seam: the window's run
// has message boxes, the unattended run standard error, tests a recorder.

#include <QString>

class UserPrompt {
public:
    virtual ~UserPrompt() = default;
    // A message box with an OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool AskYesNo(const QString& text) = 0;
    // The same with Yes as the default button (Enter answers Yes). Prompts
    // without default buttons answer it as AskYesNo.
    virtual bool AskYesNoDefaultYes(const QString& text) { return AskYesNo(text); }
};

// A run nobody watches: messages are dropped, every question is answered No.
class SilentPrompt final : public UserPrompt {
public:
    void ShowMessage(const QString&) override { }
    bool AskYesNo(const QString&) override { return false; }
};

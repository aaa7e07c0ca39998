#pragma once
// What logic code asks of the user goes through this seam: the GUI installs
// message boxes, tests install a recorder. Without an installed prompt,
// messages are dropped and questions are answered No.

#include <QString>

class UserPrompt {
public:
    virtual ~UserPrompt() = default;
    // A message box with an OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool AskYesNo(const QString& text) = 0;
};

void SetUserPrompt(UserPrompt* prompt);

// Convenience wrappers that use the installed prompt.
void ShowMessage(const QString& text);
bool AskYesNo(const QString& text);

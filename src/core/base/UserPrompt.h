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
    // The same with Yes as the default button (Enter answers Yes). Prompts
    // without default buttons answer it as AskYesNo.
    virtual bool AskYesNoDefaultYes(const QString& text) { return AskYesNo(text); }
};

void SetUserPrompt(UserPrompt* prompt);

// Convenience wrappers that use the installed prompt.
void ShowMessage(const QString& text);
bool AskYesNo(const QString& text);
bool AskYesNoDefaultYes(const QString& text);

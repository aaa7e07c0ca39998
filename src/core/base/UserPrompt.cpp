#include "UserPrompt.h"

namespace {
UserPrompt* installedPrompt = nullptr;
}

void SetUserPrompt(UserPrompt* prompt)
{
    installedPrompt = prompt;
}

void ShowMessage(const QString& text)
{
    if (installedPrompt)
        installedPrompt->ShowMessage(text);
}

bool AskYesNo(const QString& text)
{
    return installedPrompt && installedPrompt->AskYesNo(text);
}

bool AskYesNoDefaultYes(const QString& text)
{
    return installedPrompt && installedPrompt->AskYesNoDefaultYes(text);
}

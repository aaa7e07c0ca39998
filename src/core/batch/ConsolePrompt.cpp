#include "ConsolePrompt.h"

void ConsolePrompt::ShowMessage(const QString& text)
{
    report_.Line(text);
}

bool ConsolePrompt::AskYesNo(const QString& text)
{
    report_.Line(text + QStringLiteral(" → 否"));
    return false;
}

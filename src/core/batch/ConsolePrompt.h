#pragma once
// The user prompt of a run without a window: messages become lines of the
// report, and a question, which nobody is there to answer, is answered No.

#include "ConsoleReport.h"
#include "core/base/UserPrompt.h"

class ConsolePrompt : public UserPrompt {
public:
    explicit ConsolePrompt(ConsoleReport& report)
        : report_(report)
    {
    }
    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;

private:
    ConsoleReport& report_;
};

#pragma once
#include "UserPrompt.h"

class QWidget;

// Message boxes titled like the main window, parented to it when given.
class MessageBoxPrompt : public UserPrompt {
public:
    explicit MessageBoxPrompt(QWidget* parent = nullptr)
        : parent_(parent)
    {
    }
    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;

private:
    QWidget* parent_;
};

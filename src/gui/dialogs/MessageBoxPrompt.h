#pragma once
#include "core/base/UserPrompt.h"

#include <QPointer>
#include <QString>
#include <QWidget>

// Message boxes titled like the main window and parented to it once it
// exists; before that, titled with the given title.
class MessageBoxPrompt : public UserPrompt {
public:
    explicit MessageBoxPrompt(QWidget* parent = nullptr, QString title = QString())
        : parent_(parent)
        , title_(std::move(title))
    {
    }
    void SetParent(QWidget* parent) { parent_ = parent; }
    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    bool AskYesNoDefaultYes(const QString& text) override;

private:
    QString Title() const;

    QPointer<QWidget> parent_;
    QString title_;
};

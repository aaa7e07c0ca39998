#include "MessageBoxPrompt.h"

#include <QApplication>
#include <QMessageBox>

QString MessageBoxPrompt::Title() const
{
    if (parent_ && !parent_->windowTitle().isEmpty())
        return parent_->windowTitle();
    if (!title_.isEmpty())
        return title_;
    return QApplication::applicationDisplayName();
}

void MessageBoxPrompt::ShowMessage(const QString& text)
{
    QMessageBox::information(parent_, Title(), text, QMessageBox::Ok);
}

bool MessageBoxPrompt::AskYesNo(const QString& text)
{
    return QMessageBox::question(parent_, Title(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

bool MessageBoxPrompt::AskYesNoDefaultYes(const QString& text)
{
    return QMessageBox::question(parent_, Title(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        == QMessageBox::Yes;
}

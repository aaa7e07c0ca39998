#include "MessageBoxPrompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace {
QString Title(QWidget* parent)
{
    if (parent && !parent->windowTitle().isEmpty())
        return parent->windowTitle();
    return QApplication::applicationDisplayName();
}
} // namespace

void MessageBoxPrompt::ShowMessage(const QString& text)
{
    QMessageBox::information(parent_, Title(parent_), text, QMessageBox::Ok);
}

bool MessageBoxPrompt::AskYesNo(const QString& text)
{
    return QMessageBox::question(
               parent_, Title(parent_), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

#include "UpdateHost.h"

#include "core/base/UserPrompt.h"

#include <QCoreApplication>
#include <QFileInfo>

QString UpdateHost::ProgramDirectory() const
{
    return QCoreApplication::applicationDirPath();
}

QString UpdateHost::ProgramFileName() const
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

void UpdateHost::TellUser(const QString& text)
{
    ShowMessage(text);
}

void UpdateHost::EndProgram()
{
    QCoreApplication::exit(0);
}

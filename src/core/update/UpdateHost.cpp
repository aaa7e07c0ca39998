#include "UpdateHost.h"

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

void UpdateHost::EndProgram()
{
    QCoreApplication::exit(0);
}

#include "DataFolders.h"

#include "Logging.h"
#include "OwnerOnly.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

QString BrowserProfileFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/browser");
}

void TightenDataFolders()
{
    const QStringList folders { QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), BrowserProfileFolder() };
    for (const QString& folder : folders)
        if (!folder.isEmpty() && QFileInfo(folder).isDir() && !MakeOwnerOnlyFolder(folder))
            qCWarning(lcSettings) << "left as it was:" << folder;
}

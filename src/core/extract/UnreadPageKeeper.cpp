#include "UnreadPageKeeper.h"

#include "core/base/Logging.h"
#include "core/base/OwnerOnly.h"

#include <QDateTime>
#include <QFile>
#include <QStandardPaths>

QString KeepUnreadPage(const QString& tableHtml, int page)
{
    const QString folder
        = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/unread-pages");
    if (!MakeOwnerOnlyFolder(folder))
        return QString();
    const QString base = QStringLiteral("%1/list-page-%2-%3")
                             .arg(folder)
                             .arg(page)
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    // A name of its own for every page kept, never over an earlier one.
    QFile file(base + QStringLiteral(".html"));
    for (int number = 2; !file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner); ++number) {
        if (file.error() != QFileDevice::OpenError || number > 100) {
            qCWarning(lcExtract) << "cannot keep the unread list page:" << file.fileName() << file.errorString();
            return QString();
        }
        file.setFileName(QStringLiteral("%1-%2.html").arg(base).arg(number));
    }
    const QByteArray bytes = tableHtml.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        qCWarning(lcExtract) << "cannot write the unread list page:" << file.fileName() << file.errorString();
        file.remove();
        return QString();
    }
    return file.fileName();
}

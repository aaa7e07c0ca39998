#include "WholeFileWrite.h"

#include <QSaveFile>

WholeFileWritten WriteFileWhole(
    const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions)
{
    QSaveFile out(path);
    const auto failed = [&] {
        const QString reason = out.errorString();
        out.cancelWriting();
        return Done::Failed(reason);
    };
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed();
    if (permissions && !out.setPermissions(permissions))
        return failed();
    if (out.write(bytes) != bytes.size())
        return failed();
    if (!out.commit())
        return Done::Failed(out.errorString());
    return Done::Ok();
}

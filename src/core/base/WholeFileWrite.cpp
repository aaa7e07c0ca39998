#include "WholeFileWrite.h"

#include <QSaveFile>

WholeFileWritten WriteFileWhole(
    const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions)
{
    QSaveFile out(path);
    const auto failed = [&] {
        const QString reason = out.errorString();
        out.cancelWriting();
        return WholeFileWritten { false, reason };
    };
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed();
    if (permissions && !out.setPermissions(permissions))
        return failed();
    if (out.write(bytes) != bytes.size())
        return failed();
    if (!out.commit())
        return { false, out.errorString() };
    return { true, {} };
}

#include "WholeFileWrite.h"

#include <QSaveFile>

bool WriteFileWhole(
    const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions, QString* error)
{
    QSaveFile out(path);
    const auto failed = [&] {
        if (error)
            *error = out.errorString();
        out.cancelWriting();
        return false;
    };
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed();
    if (permissions && !out.setPermissions(permissions))
        return failed();
    if (out.write(bytes) != bytes.size())
        return failed();
    if (!out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

#include "OwnerOnly.h"

#include "Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
constexpr QFileDevice::Permissions kOwnerFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kOwnerFolder = kOwnerFile | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup
    | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;

bool Restrict(const QString& path, QFileDevice::Permissions wanted)
{
    const QFileDevice::Permissions now = QFile::permissions(path);
    if (!(now & kOthers) && (now & wanted) == wanted)
        return true;
    if (QFile::setPermissions(path, wanted))
        return true;
    qCWarning(lcSettings) << "cannot make" << path << "the owner's alone";
    return false;
}
} // namespace

bool MakeOwnerOnlyFolder(const QString& folder)
{
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        qCWarning(lcSettings) << "cannot create" << folder;
        return false;
    }
    return Restrict(folder, kOwnerFolder);
}

bool MakeOwnerOnlyFile(const QString& path)
{
    return Restrict(path, kOwnerFile);
}

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

Done Restrict(const QString& path, QFileDevice::Permissions wanted)
{
    const QFileDevice::Permissions now = QFile::permissions(path);
    if (!(now & kOthers) && (now & wanted) == wanted)
        return Done::Ok();
    if (QFile::setPermissions(path, wanted))
        return Done::Ok();
    qCWarning(lcSettings) << "cannot make" << path << "the owner's alone";
    return Done::Failed(QStringLiteral("cannot make %1 the owner's alone").arg(path));
}
} // namespace

Done MakeOwnerOnlyFolder(const QString& folder)
{
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        qCWarning(lcSettings) << "cannot create" << folder;
        return Done::Failed(QStringLiteral("cannot create %1").arg(folder));
    }
    return Restrict(folder, kOwnerFolder);
}

Done MakeOwnerOnlyFile(const QString& path)
{
    return Restrict(path, kOwnerFile);
}

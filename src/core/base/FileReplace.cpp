#include "FileReplace.h"

#include "core/base/Logging.h"
#include "core/base/WholeFileWrite.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The nearest part of path that exists, path itself included.
QFileInfo NearestExisting(const QString& path)
{
    QFileInfo at(path);
    while (!at.exists()) {
        const QFileInfo up(at.absolutePath());
        if (up.absoluteFilePath() == at.absoluteFilePath())
            break; // at the root
        at = up;
    }
    return at;
}

} // namespace

SaveTarget CheckSaveTarget(const QString& path)
{
    const QFileInfo target(path);
    if (target.isDir())
        return SaveTarget::IsFolder;
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir()) {
        const QFileInfo existing = NearestExisting(folder.absoluteFilePath());
        return existing.exists() && !existing.isDir() ? SaveTarget::NotInFolder : SaveTarget::FolderMissing;
    }
    // The new file is written beside the old one and renamed over it, so the
    // folder must take new files.
    if (!folder.isWritable())
        return SaveTarget::FolderReadOnly;
    if (!target.exists())
        return SaveTarget::Usable;
    if (!target.isWritable())
        return SaveTarget::FileReadOnly;
    // A file another program holds open without sharing cannot be opened
    // for writing. Appending opens it without touching its contents.
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Append))
        return SaveTarget::CannotReplace;
    probe.close();
    return SaveTarget::Usable;
}

bool CanReplaceFile(const QString& path)
{
    return CheckSaveTarget(path) == SaveTarget::Usable;
}

Done ReplaceFileContents(const QString& path, const QByteArray& bytes)
{
    Done replaced = WriteFileWhole(path, bytes);
    if (!replaced)
        qCWarning(lcExport) << "cannot replace" << path << replaced.reason;
    return replaced;
}

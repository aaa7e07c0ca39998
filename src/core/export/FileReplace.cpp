#include "FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
        return SaveTarget::CannotReplace;
    if (!target.exists())
        return SaveTarget::Usable;
    if (!target.isWritable())
        return SaveTarget::CannotReplace;
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

bool ReplaceFileContents(const QString& path, const QByteArray& bytes)
{
    QSaveFile out(path);
    // Unbuffered: the write's count is the disk's (commit's flush would not
    // report a short write of a file smaller than the buffer).
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

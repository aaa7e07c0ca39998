#include "FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool CanReplaceFile(const QString& path)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    // The new file is written beside the old one and renamed over it, so the
    // folder must take new files.
    if (!folder.isDir() || !folder.isWritable())
        return false;
    if (!target.exists())
        return true;
    if (target.isDir() || !target.isWritable())
        return false;
    // A file another program holds open without sharing cannot be opened
    // for writing. Appending opens it without touching its contents.
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    probe.close();
    return true;
}

bool ReplaceFileContents(const QString& path, const QByteArray& bytes)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

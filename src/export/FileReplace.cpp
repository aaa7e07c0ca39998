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

bool ReplaceFileWithCopy(const QString& path, const QString& source)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    constexpr qint64 kChunk = 1 << 16;
    bool copied = true;
    while (copied && !in.atEnd()) {
        const QByteArray chunk = in.read(kChunk);
        copied = in.error() == QFileDevice::NoError && out.write(chunk) == chunk.size();
    }
    if (!copied) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

#pragma once
// A file written whole or not at all. The bytes go to a temporary file
// beside the target, unbuffered so that every write reports what the disk
// took (a buffered file's flush at commit does not report a short write,
// and a small file would be put in place cut off on a full disk), and the
// temporary file replaces the target in one rename only once all is there.
// On failure the target stays as it was.

#include "Done.h"

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Done when the file at path holds the bytes; else why not, from the file
// system.
using WholeFileWritten = Done;

// Puts a file holding bytes in place of path. permissions, when not empty,
// are the new file's.
WholeFileWritten WriteFileWhole(
    const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions = {});

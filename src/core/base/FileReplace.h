#pragma once
// Safe replacement of the user's files: a new file is written beside the old
// one under a temporary name and takes its place in one rename, so a failed
// export never leaves a half-written file or destroys the old one.

#include "Done.h"

#include <QByteArray>
#include <QString>

// What stands between an export and a file at path. Nothing is changed by
// the check.
enum class SaveTarget {
    Usable, // the folder takes new files; an existing file may be replaced
    IsFolder, // path names a folder
    NotInFolder, // what path lies in is a file, not a folder
    FolderMissing, // the folder path lies in does not exist
    FolderReadOnly, // the folder takes no new files
    FileReadOnly, // the file is read-only
    CannotReplace, // the file cannot be opened for writing: another program holds it
};
SaveTarget CheckSaveTarget(const QString& path);

// Whether an export may put a file at path: the folder exists and is
// writable, and an existing file is a plain file that is not read-only and
// that no other program holds locked (it can be opened for writing).
// CheckSaveTarget says why not.
bool CanReplaceFile(const QString& path);

// Puts a file holding bytes in place of path, atomically. The reason when
// the new file could not be completed; path is then as it was.
Done ReplaceFileContents(const QString& path, const QByteArray& bytes);

#pragma once
// Safe replacement of the user's files: a new file is written beside the old
// one under a temporary name and takes its place in one rename, so a failed
// export never leaves a half-written file or destroys the old one.

#include <QByteArray>
#include <QString>

// Whether an export may put a file at path: the folder exists and is
// writable, and an existing file is a plain file that is not read-only and
// that no other program holds locked (it can be opened for writing). Nothing
// is changed by the check.
bool CanReplaceFile(const QString& path);

// Puts a file holding bytes in place of path, atomically. False when the
// new file could not be completed; path is then as it was.
bool ReplaceFileContents(const QString& path, const QByteArray& bytes);

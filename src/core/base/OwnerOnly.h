#pragma once
// The tool's folders and files hold buyers' names and addresses and the
// browser's session cookies: they are the owner's alone (folders 0700,
// files 0600). A folder an earlier version created with wider modes is
// tightened when the tool starts (DataFolders.h).

#include <QString>

// Creates folder when missing and takes group and other access from it.
// False (and logged) when it could not.
[[nodiscard]] bool MakeOwnerOnlyFolder(const QString& folder);
// Takes group and other access from an existing file. False (and logged)
// when it could not.
[[nodiscard]] bool MakeOwnerOnlyFile(const QString& path);

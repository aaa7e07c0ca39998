#pragma once
// The tool's folders and files hold buyers' names and addresses and the
// browser's session cookies: they are the owner's alone (folders 0700,
// files 0600). A folder an earlier version created with wider modes is
// tightened when the tool starts (DataFolders.h).

#include "Done.h"

#include <QString>

// Creates folder when missing and takes group and other access from it.
// The reason (also logged) when it could not.
Done MakeOwnerOnlyFolder(const QString& folder);
// Takes group and other access from an existing file. The reason (also
// logged) when it could not.
Done MakeOwnerOnlyFile(const QString& path);

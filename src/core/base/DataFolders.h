#pragma once
// Where the tool keeps its per-user data: the persistent browser profile
// (cookies, storage) and the data folders around it, and the start-up step
// that makes them the owner's alone.

#include <QString>

// The folder of the persistent browser profile, under the per-user data
// location.
QString BrowserProfileFolder();
// The per-user data folders (the browser profile among them), as far as they
// exist already, made the owner's alone; a folder that cannot be is logged
// and left as it was.
void TightenDataFolders();

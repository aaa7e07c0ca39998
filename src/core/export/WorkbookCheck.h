#pragma once
// libxlsxwriter stages each part of a workbook in a temporary file and does
// not notice when writing that file fails (a full disk, a file size limit):
// it then zips truncated parts and reports success. The writer therefore
// reads the finished file back before it replaces anything.

#include <QByteArray>

// True when bytes are a zip whose every entry inflates to its recorded size
// and checksum, whose XML parts end with their root element's end tag, and
// which holds the parts every workbook needs.
bool IsCompleteWorkbook(const QByteArray& bytes);

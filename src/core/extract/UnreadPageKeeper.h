#pragma once
// A list page that did not read as it lists is kept for the seller to send
// in: its table text goes to an owner-only file in the per-user data folder.

#include <QString>

// Writes the table text and returns the file's path; empty when it could not
// be written (logged). page 0 stands for the page shown by a one-page read.
QString KeepUnreadPage(const QString& tableHtml, int page);

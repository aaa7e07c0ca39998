#pragma once
// The CSV form of the trade grid: one line per visible row, GBK bytes,
// CR LF line ends, every field the cell text plus one TAB.

#include <QByteArray>
#include <QString>

#include "ExportResult.h"
#include "core/grid/GridSetup.h"

class Progress;
class QIODevice;
class TradeGrid;

// True when a spreadsheet would read the text as a formula: it starts with
// "=", "+", "-" or "@" and is not a plain number such as "-12.5".
bool LooksLikeFormula(const QString& cellText);

// One field as written: the text (after a leading "'" when it looks like a
// formula) plus TAB, double quotes doubled, quoted when it holds a comma, a
// double quote or CR LF.
QString CsvField(const QString& cellText);
// The same field appended to a line being built.
void AppendCsvField(QString& line, const QString& cellText);

// GBK has one or two bytes per character; GB18030 writes what GBK cannot
// hold (emoji, rarer characters) in four, a lead byte 0x81-0xFE then a digit
// byte, which spreadsheet programs reading GBK show as two wrong characters.
// Each such character of bytes (EncodeAnsi's) becomes "?"; returns how many did.
int ReplaceBeyondGbk(QByteArray& bytes);

// A message or memo on one line of a CSV file: its line breaks (CR LF, CR or
// LF) become " / ", so that a reader splitting the file at line ends keeps
// each row whole.
QString OneLineText(const QString& text);

// Writes the visible grid to an open device with progress, which it closes
// once done. A grid that changes shape underneath or a device that refuses
// bytes stops it with the reason, the progress left for the caller to close
// after telling the user.
ExportResult WriteGridCsv(
    Progress& progress, const TradeGrid& grid, QIODevice& out, ExportNotes notes = ExportNotes::Without);

// CSV in the ANSI code page. A failure leaves any earlier file as it was.
ExportResult WriteGridCsv(
    Progress& progress, const TradeGrid& grid, const QString& path, ExportNotes notes = ExportNotes::Without);

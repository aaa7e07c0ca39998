#pragma once
#include <QString>
#include <QStringList>

class SaveDialog;
class TradeGrid;

// The export command: asks for a file, confirms overwriting, writes CSV or a workbook.
void ExportGrid(const TradeGrid& grid, SaveDialog& saveDialog, const QString& sheetName);
// CSV in the ANSI code page; true when the whole grid was written. A failure
// shows "文件保存出错！", returns false and leaves any earlier file as it was.
bool WriteGridCsv(const TradeGrid& grid, const QString& path);
// An Excel workbook; shows "文件保存出错！" and returns false on failure.
// The file is always an Office Open XML workbook (.xlsx content), whatever
// extension the name has: a name ending in .xls still gets that format.
bool WriteGridExcel(const TradeGrid& grid, const QString& path, const QString& sheetName);
// 1 → "A", 27 → "AA", 702 → "ZZ".
QString ExcelColumnLetters(int column);

// The entries the save dialog offers, the CSV entry first.
QStringList ExportFileFilters();
// The format follows the name alone: its last three characters, in lower
// case, "csv" mean CSV ("a.CSV", "xcsv"); anything else is a workbook.
bool IsCsvFileName(const QString& path);

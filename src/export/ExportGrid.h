#pragma once
#include <QString>

class SaveDialog;
class TradeGrid;

// The export command: asks for a file, confirms overwriting, writes CSV or a workbook.
void ExportGrid(const TradeGrid& grid, SaveDialog& saveDialog, const QString& sheetName);
// CSV in the ANSI code page; true when the whole grid was written.
bool WriteGridCsv(const TradeGrid& grid, const QString& path);
// An Excel workbook; shows "文件保存出错！" and returns false on failure.
bool WriteGridExcel(const TradeGrid& grid, const QString& path, const QString& sheetName);
// 1 → "A", 27 → "AA", 702 → "ZZ".
QString ExcelColumnLetters(int column);

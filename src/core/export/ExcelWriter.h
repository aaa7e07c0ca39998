#pragma once
// Workbook details beyond the command's interface.

#include "ExportResult.h"
#include "core/grid/GridSetup.h"

#include <QString>

class Progress;
struct SheetPlan;
class TradeGrid;

// A name Excel accepts for a worksheet: the characters []:*?/\ become "_",
// at most 31 characters, no apostrophe at either end, never empty.
QString ExcelSheetName(const QString& wanted);

// Excel holds at most this many characters (UTF-16 units) in a cell.
inline constexpr qsizetype kMaxCellCharacters = 32767;

// What a sheet cell holds for a grid text: the text followed by a TAB, or,
// for a text longer than a cell takes, its first kMaxCellCharacters
// characters (one less where the last would split a surrogate pair). cut
// tells which of the two it was.
QString SheetCellText(const QString& text, bool& cut);

// Writes the plan as a one-sheet workbook at file (overwriting it).
// False on any library error. cutCells, when given, receives the number of
// texts that had to be shortened to fit a cell.
bool WriteSheetPlanXlsx(
    const SheetPlan& plan, const QString& file, const QString& sheetName, int* cutCells = nullptr);

// An Excel workbook, with progress that it closes once done; on a failure
// the progress is left for the caller to close after telling the user, and
// any earlier file stays as it was. The file is always an Office Open XML
// workbook (.xlsx content), whatever extension the name has: a name ending
// in .xls still gets that format.
ExportResult WriteGridExcel(Progress& progress, const TradeGrid& grid, const QString& path,
    const QString& sheetName, ExportNotes notes = ExportNotes::Without);
// 1 → "A", 27 → "AA", 702 → "ZZ".
QString ExcelColumnLetters(int column);

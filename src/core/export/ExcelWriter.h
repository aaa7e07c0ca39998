#pragma once
// Workbook details beyond the command's interface.

#include "ExportResult.h"
#include "core/base/Done.h"
#include "core/grid/GridSetup.h"

#include <QString>
#include <functional>

class Progress;
struct SheetPlan;
class TradeGrid;

// A name Excel accepts for a worksheet: the characters []:*?/\ become "_",
// at most 31 characters, no apostrophe at either end, never empty.
QString ExcelSheetName(const QString& wanted);

// Excel holds at most this many characters (UTF-16 units) in a cell.
inline constexpr qsizetype kMaxCellCharacters = 32767;

// A text as a cell holds it, and whether it had to be cut to fit.
struct CellFit {
    QString text;
    bool cut = false;
};
// The text whole, or, when longer than a cell takes, its first
// kMaxCellCharacters characters (one less where the last would split a
// surrogate pair).
CellFit FitToCell(const QString& text);
// What a sheet cell holds for a grid text: the text followed by a TAB (which
// keeps a short number a text), or the text cut to fit, with no room left
// for the TAB.
CellFit SheetCellText(const QString& text);

// Writes the plan as a one-sheet workbook at file (overwriting it). Done
// with the number of texts that had to be shortened to fit a cell, or the
// library's failure.
DoneWith<int> WriteSheetPlanXlsx(const SheetPlan& plan, const QString& file, const QString& sheetName);

// Builds a workbook with build, in a private scratch file whose name it is
// given, reads it back and checks it (the library does not notice when its
// staging files fail), then puts it in place of path in one rename: the old
// file stays whole until the new one is complete, and a failure leaves
// nothing. Done with build's value (the cells cut to fit), or why not.
DoneWith<int> WriteWorkbookInPlace(
    const QString& path, const std::function<DoneWith<int>(const QString& scratchFile)>& build);

// An Excel workbook, with progress that it closes once done; on a failure
// the progress is left for the caller to close after telling the user, and
// any earlier file stays as it was. The file is always an Office Open XML
// workbook (.xlsx content), whatever extension the name has: a name ending
// in .xls still gets that format.
ExportResult WriteGridExcel(Progress& progress, const TradeGrid& grid, const QString& path,
    const QString& sheetName, ExportNotes notes = ExportNotes::Without);
// 1 → "A", 27 → "AA", 702 → "ZZ".
QString ExcelColumnLetters(int column);

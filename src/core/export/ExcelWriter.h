#pragma once
// Workbook details beyond the command's interface.

#include <QString>

struct SheetPlan;

// A name Excel accepts for a worksheet: the characters []:*?/\ become "_",
// at most 31 characters, no apostrophe at either end, never empty.
QString ExcelSheetName(const QString& wanted);

// Writes the plan as a one-sheet workbook at file (overwriting it).
// False on any library error.
bool WriteSheetPlanXlsx(const SheetPlan& plan, const QString& file, const QString& sheetName);

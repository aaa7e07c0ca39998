#pragma once
// The export command: asks for a file, confirms overwriting, writes CSV or a
// workbook, and tells the user how it went. A written file is noted in the
// grid (TradeGrid::NoteExported), so clearing or closing knows nothing is lost.

#include "ExportResult.h"

#include <QString>
#include <QStringList>

class Progress;
class SaveDialog;
class TradeGrid;
class UserPrompt;

void ExportGrid(UserPrompt& prompt, Progress& progress, TradeGrid& grid, SaveDialog& saveDialog,
    const QString& sheetName);

// CSV or a workbook at path, by its name.
ExportResult WriteExportFile(Progress& progress, const TradeGrid& grid, const QString& path, const QString& sheetName);

// What the user is told about a written file: on a failure the reason is
// logged, "文件保存出错！" is shown and the progress closed; a workbook
// whose long texts were cut says how many.
void TellExportResult(UserPrompt& prompt, Progress& progress, const ExportResult& result);

// The entries the save dialog offers, the CSV entry first.
QStringList ExportFileFilters();
// The format follows the name alone: its last three characters, in lower
// case, "csv" mean CSV ("a.CSV", "xcsv"); anything else is a workbook.
bool IsCsvFileName(const QString& path);

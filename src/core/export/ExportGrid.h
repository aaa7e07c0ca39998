#pragma once
// The export command: asks for a file, confirms overwriting, writes CSV or a
// workbook, and returns what the user is to be told about how it went. A written file is noted in the
// grid (TradeGrid::NoteExported), so clearing or closing knows nothing is lost.

#include "ExportResult.h"
#include "core/grid/GridSetup.h"

#include <QString>
#include <QStringList>

class Progress;
class SaveDialog;
class TradeGrid;
class UserPrompt;

// How the export command ended, and what the user is to be told, in order
// (nothing when cancelled, nor for a written file with nothing to note).
struct [[nodiscard]] ExportOutcome {
    ExportStatus status = ExportStatus::Cancelled;
    QStringList toTell;
};

// Questions go to prompt. notes adds the buyer's message and the seller's
// memo at the sheet's end.
ExportOutcome ExportGrid(UserPrompt& prompt, Progress& progress, TradeGrid& grid, SaveDialog& saveDialog,
    const QString& sheetName, ExportNotes notes = ExportNotes::Without);

// CSV or a workbook at path, by its name; once the file holds the grid,
// the grid's rows count as exported (the close check asks no more).
[[nodiscard]] ExportResult WriteExportFile(Progress& progress, TradeGrid& grid, const QString& path,
    const QString& sheetName, ExportNotes notes = ExportNotes::Without);

// What the user is told about a written file: on a failure the reason is
// logged, the progress closed and "文件保存出错！" returned; a workbook
// whose long texts were cut says how many.
[[nodiscard]] QStringList ExportResultMessages(Progress& progress, const ExportResult& result);

// The entries the save dialog offers, the CSV entry first.
QStringList ExportFileFilters();
// The format follows the name alone: its last three characters, in lower
// case, "csv" mean CSV ("a.CSV", "xcsv"); anything else is a workbook.
bool IsCsvFileName(const QString& path);

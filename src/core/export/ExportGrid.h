#pragma once
#include <QString>
#include <QStringList>

class SaveDialog;
class TradeGrid;

// The export command: asks for a file, confirms overwriting, writes CSV or a workbook.
void ExportGrid(const TradeGrid& grid, SaveDialog& saveDialog, const QString& sheetName);
// Ends a failed export: logs why, tells the user "文件保存出错！" and closes
// the progress window.
void FailExport(const QString& reason);

// The entries the save dialog offers, the CSV entry first.
QStringList ExportFileFilters();
// The format follows the name alone: its last three characters, in lower
// case, "csv" mean CSV ("a.CSV", "xcsv"); anything else is a workbook.
bool IsCsvFileName(const QString& path);

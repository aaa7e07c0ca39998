#pragma once
// What a writer reports back: the file was written, or why not. The writers
// show nothing; the export command decides what the user is told.

#include <QString>

struct ExportResult {
    bool ok = true;
    QString path;
    QString reason; // why it failed, for the log
    int cutCells = 0; // workbook texts shortened to fit a cell
    int beyondGbk = 0; // CSV characters GBK cannot hold, written as "?"

    static ExportResult Written(const QString& path, int cutCells = 0)
    {
        return { true, path, {}, cutCells, 0 };
    }
    static ExportResult Failed(const QString& path, const QString& reason)
    {
        return { false, path, reason, 0, 0 };
    }
};

#include "ExportGrid.h"

#include "CsvWriter.h"
#include "ExcelWriter.h"
#include "ExportMessages.h"
#include "SaveDialog.h"
#include "core/base/FileReplace.h"
#include "core/base/Logging.h"
#include "core/base/UserPrompt.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"

#include <QDir>
#include <QFileInfo>

QStringList ExportResultMessages(Progress& progress, const ExportResult& result)
{
    if (!result.IsWritten()) {
        qCWarning(lcExport) << "export failed:" << result.path << result.reason
                            << (result.systemError ? qt_error_string(result.systemError) : QString());
        CloseProgress(progress);
        if (result.NoRoom())
            return { QString::fromUtf8(kExportNoRoomText).arg(QDir::toNativeSeparators(result.path)) };
        return { QString::fromUtf8(kExportFailedText) };
    }
    if (result.cutCells > 0)
        return { CutCellsMessage(result.cutCells) };
    if (result.beyondGbk > 0)
        return { BeyondGbkMessage(result.beyondGbk) };
    return {};
}

ExportResult WriteExportFile(
    Progress& progress, TradeGrid& grid, const QString& path, const QString& sheetName, ExportNotes notes)
{
    const ExportResult result = IsCsvFileName(path) ? WriteGridCsv(progress, grid, path, notes)
                                                    : WriteGridExcel(progress, grid, path, sheetName, notes);
    if (result.IsWritten())
        grid.NoteExported();
    return result;
}

QStringList ExportFileFilters()
{
    return { QStringLiteral("CSV (逗号分隔)(*.csv)"), QStringLiteral("MS Excel文件  (*.xls)"),
        QStringLiteral("MS Excel工作簿 (*.xlsx)") };
}

bool IsCsvFileName(const QString& path)
{
    return path.right(3).toLower() == QLatin1String("csv");
}

ExportOutcome ExportGrid(UserPrompt& prompt, Progress& progress, TradeGrid& grid, SaveDialog& saveDialog,
    const QString& sheetName, ExportNotes notes)
{
    const QString path = saveDialog.AskSavePath(ExportFileFilters());
    if (path.isEmpty())
        return { ExportStatus::Cancelled, {} };
    // No file can go there at all: said before asking about overwriting.
    const SaveTarget target = CheckSaveTarget(path);
    if (target == SaveTarget::IsFolder || target == SaveTarget::NotInFolder) {
        const char* text
            = target == SaveTarget::IsFolder ? kSaveTargetIsFolderText : kSaveTargetNotInFolderText;
        return { ExportStatus::Refused, { QString::fromUtf8(text).arg(QDir::toNativeSeparators(path)) } };
    }
    if (QFileInfo::exists(path)) {
        if (!prompt.AskYesNo(QString::fromUtf8(kOverwriteQuestionText)))
            return { ExportStatus::Cancelled, {} };
        // The old file is not removed here: the writers replace it only once
        // the new one is complete. What can be checked beforehand is whether
        // it can be replaced at all.
        if (!CanReplaceFile(path))
            return { ExportStatus::Refused, { QString::fromUtf8(kCannotReplaceText) } };
    }
    const ExportResult result = WriteExportFile(progress, grid, path, sheetName, notes);
    return { result.status, ExportResultMessages(progress, result) };
}

#include "ExportGrid.h"

#include "CsvWriter.h"
#include "ExcelWriter.h"
#include "ExportMessages.h"
#include "FileReplace.h"
#include "SaveDialog.h"
#include "core/base/Logging.h"
#include "core/base/UserPrompt.h"
#include "core/progress/Progress.h"

#include <QFileInfo>

void FailExport(const QString& reason)
{
    qCWarning(lcExport) << "export failed:" << reason;
    ShowMessage(QString::fromUtf8(kExportFailedText));
    CloseProgress();
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

void ExportGrid(const TradeGrid& grid, SaveDialog& saveDialog, const QString& sheetName)
{
    const QString path = saveDialog.AskSavePath(ExportFileFilters());
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path)) {
        if (!AskYesNo(QString::fromUtf8(kOverwriteQuestionText)))
            return;
        // The old file is not removed here: the writers replace it only once
        // the new one is complete. What can be checked beforehand is whether
        // it can be replaced at all.
        if (!CanReplaceFile(path)) {
            ShowMessage(QString::fromUtf8(kCannotReplaceText));
            return;
        }
    }
    if (IsCsvFileName(path))
        WriteGridCsv(grid, path);
    else
        WriteGridExcel(grid, path, sheetName);
}

#include "CourierWriter.h"

#include "core/base/FileReplace.h"
#include "core/base/SaveTargetText.h"
#include "core/export/CsvWriter.h"
#include "core/export/ExcelWriter.h"
#include "core/export/ExportGrid.h"
#include "core/export/ExportMessages.h"
#include "core/text/AnsiCodec.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <xlsxwriter.h>

namespace {

const char* const kSheetName = "快递导入";

CourierWritten Failed(const QString& reason)
{
    return { CourierWriteStatus::Failed, reason, QString::fromUtf8(kExportFailedText), 0, 0 };
}

// The rows at file as a one-sheet workbook, every cell a string in the
// text format: done with the number of cells cut to fit, or the library's
// failure.
DoneWith<int> WriteXlsx(const CourierSheet& sheet, const QString& file)
{
    lxw_workbook* book = workbook_new(QFile::encodeName(file).constData());
    if (!book)
        return DoneWith<int>::Failed(QStringLiteral("the workbook library cannot start ") + file);
    int cutCells = 0;
    lxw_worksheet* worksheet = workbook_add_worksheet(book, kSheetName);
    // "@": the cell stays text when the seller edits it before the import.
    lxw_format* text = workbook_add_format(book);
    format_set_num_format(text, "@");
    lxw_format* title = workbook_add_format(book);
    format_set_num_format(title, "@");
    format_set_bold(title);
    bool ok = worksheet && text && title;
    QVector<QStringList> rows { sheet.header };
    rows += sheet.rows;
    for (int r = 0; ok && r < rows.size(); ++r)
        for (int c = 0; ok && c < rows.at(r).size(); ++c) {
            const CellFit fit = FitToCell(rows.at(r).at(c));
            cutCells += fit.cut ? 1 : 0;
            const QString& cell = fit.text;
            lxw_format* format = r == 0 ? title : text;
            // Empty cells are written as blanks in the text format, so a
            // number typed there later stays text too.
            ok = (cell.isEmpty() ? worksheet_write_blank(worksheet, lxw_row_t(r), lxw_col_t(c), format)
                                 : worksheet_write_string(worksheet, lxw_row_t(r), lxw_col_t(c),
                                     cell.toUtf8().constData(), format))
                == LXW_NO_ERROR;
        }
    for (int c = 0; ok && c < sheet.header.size(); ++c)
        ok = worksheet_set_column(worksheet, lxw_col_t(c), lxw_col_t(c), 16, text) == LXW_NO_ERROR;
    if (!ok) {
        lxw_workbook_free(book);
        return DoneWith<int>::Failed(QStringLiteral("the workbook library failed on ") + file);
    }
    if (workbook_close(book) != LXW_NO_ERROR)
        return DoneWith<int>::Failed(QStringLiteral("the workbook library failed on ") + file);
    return DoneWith<int>::Ok(cutCells);
}

CourierWritten WriteWorkbook(const CourierSheet& sheet, const QString& path)
{
    const DoneWith<int> written
        = WriteWorkbookInPlace(path, [&](const QString& scratchFile) { return WriteXlsx(sheet, scratchFile); });
    if (!written)
        return Failed(written.reason);
    return { CourierWriteStatus::Written, {}, {}, written.value, 0 };
}

// A field as the import pages read it: no TAB after it (the import would
// keep it), line breaks made " / ", quoted when it holds a comma or a
// quote, and a leading "'" where a spreadsheet would see a formula.
void AppendField(QString& line, const QString& cell)
{
    QString text = OneLineText(cell);
    if (LooksLikeFormula(text))
        text.prepend(u'\'');
    if (text.contains(u',') || text.contains(u'"')) {
        text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        text = u'"' + text + u'"';
    }
    line += text;
}

CourierWritten WriteCsv(const CourierSheet& sheet, const QString& path)
{
    QString text;
    QVector<QStringList> rows { sheet.header };
    rows += sheet.rows;
    for (const QStringList& row : std::as_const(rows)) {
        for (int c = 0; c < row.size(); ++c) {
            if (c > 0)
                text += u',';
            AppendField(text, row.at(c));
        }
        text += QStringLiteral("\r\n");
    }
    QByteArray bytes = EncodeAnsi(text);
    if (bytes.isEmpty())
        return Failed(QStringLiteral("no GBK converter"));
    const int beyondGbk = ReplaceBeyondGbk(bytes);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return Failed(why);
    }
    if (!file.commit())
        return Failed(file.errorString());
    return { CourierWriteStatus::Written, {}, {}, 0, beyondGbk };
}

} // namespace

Done CheckCourierPath(const QString& path)
{
    if (path.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive))
        return Done::Failed(QStringLiteral("快递导入表不能存为 .xls（旧的 Excel "
                                           "格式，快递的导入页面不收）：%1。请把文件名改为 .xlsx 或 .csv。")
                                .arg(QDir::toNativeSeparators(path)));
    if (const SaveTarget target = CheckSaveTarget(path); target != SaveTarget::Usable)
        return Done::Failed(SaveTargetProblemText(target, QDir::toNativeSeparators(path)));
    return Done::Ok();
}

CourierWritten WriteCourierSheet(const CourierSheet& sheet, const QString& path)
{
    if (const Done usable = CheckCourierPath(path); !usable)
        return { CourierWriteStatus::Refused, QStringLiteral("refused: ") + path, usable.reason, 0, 0 };
    return IsCsvFileName(path) ? WriteCsv(sheet, path) : WriteWorkbook(sheet, path);
}

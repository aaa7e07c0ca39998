#include "ExcelWriter.h"

#include "ExportMessages.h"
#include "SheetPlan.h"
#include "WorkbookCheck.h"
#include "core/base/FileReplace.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"

#include <cerrno>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

namespace {

constexpr int kMaxSheetNameLength = 31;
// The title-row fill, red 255, green 192, blue 128.
constexpr lxw_color_t kTitleFill = 0xFFC080;

// Owns a libxlsxwriter workbook; closing writes the file.
class XlsxWorkbook {
public:
    explicit XlsxWorkbook(const QString& file)
        : book_(workbook_new(QFile::encodeName(file).constData()))
    {
    }
    ~XlsxWorkbook()
    {
        if (book_)
            lxw_workbook_free(book_);
    }
    XlsxWorkbook(const XlsxWorkbook&) = delete;
    XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

    lxw_workbook* get() const { return book_; }
    Done Close()
    {
        lxw_workbook* book = book_;
        book_ = nullptr;
        if (const lxw_error error = workbook_close(book); error != LXW_NO_ERROR)
            return Done::Failed(QString::fromUtf8(lxw_strerror(error)));
        return Done::Ok();
    }

private:
    lxw_workbook* book_;
};

// The three cell looks: bordered body cell, bordered title cell, and a
// title cell outside the border block (only when the grid changed shape
// while it was read).
struct CellFormats {
    lxw_format* border = nullptr;
    lxw_format* titleWithBorder = nullptr;
    lxw_format* title = nullptr;
};

CellFormats AddFormats(lxw_workbook* book)
{
    CellFormats formats;
    formats.border = workbook_add_format(book);
    format_set_border(formats.border, LXW_BORDER_THIN);
    formats.title = workbook_add_format(book);
    format_set_bold(formats.title);
    format_set_pattern(formats.title, LXW_PATTERN_SOLID);
    format_set_bg_color(formats.title, kTitleFill);
    formats.titleWithBorder = workbook_add_format(book);
    format_set_bold(formats.titleWithBorder);
    format_set_pattern(formats.titleWithBorder, LXW_PATTERN_SOLID);
    format_set_bg_color(formats.titleWithBorder, kTitleFill);
    format_set_border(formats.titleWithBorder, LXW_BORDER_THIN);
    return formats;
}

// The plan's cells into sheet: done with the number of cut texts.
DoneWith<int> WriteCells(lxw_worksheet* sheet, const SheetPlan& plan, const CellFormats& formats)
{
    int cutCells = 0;
    const int blockRows = int(plan.rows.size());
    for (int i = 0; i < blockRows; ++i) {
        const SheetPlan::Row& row = plan.rows.at(i);
        const int written = std::max(int(row.cells.size()), plan.blockColumns);
        for (int j = 0; j < written; ++j) {
            const bool inBlock = j < plan.blockColumns;
            const bool inRow = j < row.cells.size();
            lxw_format* format = nullptr;
            if (row.title && inRow)
                format = inBlock ? formats.titleWithBorder : formats.title;
            else if (inBlock)
                format = formats.border;
            const QString text = inRow ? row.cells.at(j) : QString();
            lxw_error error = LXW_NO_ERROR;
            if (!text.isEmpty()) {
                // Always a string: a cell text is never taken for a formula.
                const CellFit cell = SheetCellText(text);
                const QByteArray value = cell.text.toUtf8();
                cutCells += cell.cut ? 1 : 0;
                error = worksheet_write_string(sheet, lxw_row_t(i), lxw_col_t(j), value.constData(), format);
            } else if (format) {
                error = worksheet_write_blank(sheet, lxw_row_t(i), lxw_col_t(j), format);
            }
            if (error != LXW_NO_ERROR)
                return DoneWith<int>::Failed(QString::fromUtf8(lxw_strerror(error)));
        }
    }
    return DoneWith<int>::Ok(cutCells);
}

Done SetWidths(lxw_worksheet* sheet, const SheetPlan& plan)
{
    for (int j = 0; j < plan.columnWidths.size(); ++j) {
        const int width = plan.columnWidths.at(j);
        if (width < 0)
            continue;
        if (const lxw_error error = worksheet_set_column(sheet, lxw_col_t(j), lxw_col_t(j), width, nullptr);
            error != LXW_NO_ERROR)
            return Done::Failed(QString::fromUtf8(lxw_strerror(error)));
    }
    return Done::Ok();
}

} // namespace

QString ExcelColumnLetters(int column)
{
    // Bijective base 26: A..Z, AA..ZZ, AAA.. for the wider sheets of today.
    QString letters;
    for (int n = column; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

QString ExcelSheetName(const QString& wanted)
{
    QString name = wanted;
    for (QChar& c : name) {
        if (QStringView(u"[]:*?/\\").contains(c))
            c = u'_';
    }
    // Count characters, not UTF-16 units, and never split a pair.
    int units = 0;
    for (int characters = 0; units < name.size() && characters < kMaxSheetNameLength; ++characters)
        units += (name.at(units).isHighSurrogate() && units + 1 < name.size()) ? 2 : 1;
    name.truncate(units);
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    while (name.endsWith(u'\''))
        name.chop(1);
    if (name.trimmed().isEmpty())
        return QStringLiteral("Sheet1");
    return name;
}

CellFit FitToCell(const QString& text)
{
    if (text.size() <= kMaxCellCharacters)
        return { text, false };
    qsizetype length = kMaxCellCharacters;
    if (text.at(length - 1).isHighSurrogate())
        --length;
    return { text.left(length), true };
}

CellFit SheetCellText(const QString& text)
{
    if (text.size() < kMaxCellCharacters)
        return { text + u'\t', false };
    return FitToCell(text);
}

DoneWith<int> WriteSheetPlanXlsx(const SheetPlan& plan, const QString& file, const QString& sheetName)
{
    XlsxWorkbook book(file);
    if (!book.get())
        return DoneWith<int>::Failed(QStringLiteral("the workbook library cannot start ") + file);
    lxw_worksheet* sheet = workbook_add_worksheet(book.get(), ExcelSheetName(sheetName).toUtf8().constData());
    if (!sheet)
        return DoneWith<int>::Failed(QStringLiteral("the workbook library cannot add the sheet"));
    const CellFormats formats = AddFormats(book.get());
    DoneWith<int> written = WriteCells(sheet, plan, formats);
    if (!written)
        return written;
    if (const Done widths = SetWidths(sheet, plan); !widths)
        return DoneWith<int>::Failed(QStringLiteral("a column width refused: ") + widths.reason);
    if (const Done closed = book.Close(); !closed)
        return DoneWith<int>::Failed(QStringLiteral("the workbook not finished: ") + closed.reason);
    return written;
}

DoneWith<int> WriteWorkbookInPlace(
    const QString& path, const std::function<DoneWith<int>(const QString& scratchFile)>& build)
{
    QTemporaryFile scratch(QDir::tempPath() + QStringLiteral("/lumetra-workbook-XXXXXX.xlsx"));
    if (!scratch.open())
        return DoneWith<int>::Failed(QStringLiteral("no scratch file: ") + scratch.errorString());
    scratch.close();
    DoneWith<int> built = build(scratch.fileName());
    if (!built)
        return built;
    QFile finished(scratch.fileName());
    const QByteArray workbook = finished.open(QIODevice::ReadOnly) ? finished.readAll() : QByteArray();
    if (!IsCompleteWorkbook(workbook))
        return DoneWith<int>::Failed(QStringLiteral("the finished workbook is incomplete"));
    if (const Done replaced = ReplaceFileContents(path, workbook); !replaced)
        return DoneWith<int>::Failed(QStringLiteral("cannot be replaced: ") + replaced.reason);
    return built;
}

ExportResult WriteGridExcel(Progress& progress, const TradeGrid& grid, const QString& path,
    const QString& sheetName, ExportNotes notes)
{
    StartProgress(progress, QStringLiteral("正在将数据导出到EXCEL文件 …"), grid.Rows() + 2, 0);
    StepProgress(progress, 1, ProgressPagesMode());
    const QString name = ExcelSheetName(sheetName);
    StepProgress(progress, 1, ProgressPagesMode());
    const SheetPlan plan = PlanSheet(progress, grid, notes);
    // The system's error of a failed write tells a full disk from the rest.
    errno = 0;
    const DoneWith<int> written = WriteWorkbookInPlace(
        path, [&](const QString& scratchFile) { return WriteSheetPlanXlsx(plan, scratchFile, name); });
    if (!written)
        return ExportResult::Failed(path, written.reason, errno);
    CloseProgress(progress);
    return ExportResult::Written(path, written.value);
}

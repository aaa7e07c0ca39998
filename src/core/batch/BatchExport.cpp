#include "BatchExport.h"

#include "ConsoleReport.h"
#include "FindingsReport.h"
#include "core/base/Endpoints.h"
#include "core/base/FileReplace.h"
#include "core/base/Logging.h"
#include "core/base/WholeFileWrite.h"
#include "core/couriers/CourierExport.h"
#include "core/packcheck/ParcelMarks.h"
#include "core/packcheck/PrintedSlips.h"
#include "core/print/ShippingDocuments.h"
#include "core/export/ExportGrid.h"
#include "core/export/ExportMessages.h"
#include "core/extract/ListParser.h"
#include "core/grid/TradeGrid.h"
#include "core/network/BrowserPage.h"
#include "core/session/Commands.h"
#include "core/session/PageExtraction.h"
#include "core/settings/Settings.h"

#include <QDir>
#include <algorithm>
#include <climits>
#include <optional>

namespace {

// What the browser shows where the list address ended.
enum class ListPageState {
    List, // the sold-items list with its trade table: the export can start
    NotLoaded, // the page did not load
    LoginPage, // the seller is not logged in
    OtherPage, // a page without the trade table
};

struct [[nodiscard]] ListPageCheck {
    ListPageState state = ListPageState::NotLoaded;
    QString reason; // why the export cannot start there, for the closing line; empty for List

    BatchResult Refusal() const
    {
        return { state == ListPageState::LoginPage ? kBatchNotLoggedIn : kBatchListUnreadable, reason };
    }
};

ListPageCheck CheckListPage(BrowserPage& browser, const ListPageArrival& arrival)
{
    const QString where = arrival.url.toDisplayString();
    // A page that did not load says nothing about the login, even when its
    // address is the login page's (a marketplace that is down).
    if (!arrival.Loaded()) {
        return { ListPageState::NotLoaded,
            QStringLiteral("无法读取已卖出的宝贝列表：%1 没有打开（%2）。").arg(where, arrival.reason) };
    }
    if (IsLoginAddress(arrival.url)) {
        return { ListPageState::LoginPage,
            QStringLiteral(
                "未登录：已卖出的宝贝列表转到了登录页面（%1）。请打开本软件一次，在窗口里登录淘宝，"
                "然后关闭窗口，再运行导出。")
                .arg(where) };
    }
    if (browser.ElementInnerHtml(QString::fromLatin1(kListTableId)).isEmpty()) {
        return { ListPageState::OtherPage,
            QStringLiteral("无法读取已卖出的宝贝列表：%1 上没有交易表 %2，找到的是页面“%3”。")
                .arg(where, QString::fromLatin1(kListTableId), arrival.title) };
    }
    return { ListPageState::List, {} };
}

// An unreadable first list page, told to a scheduler's mail.
const char* const kNoTradesUnattendedText
    = "没有提取到交易记录：已卖出的宝贝列表的第 1 页上一笔交易也没有读到。请打开本软件，在窗口里看这一页是否正常显示。";

struct PlannedDocument {
    ShippingDocument which;
    QString path; // empty: not asked for
};

struct DocumentsWritten {
    QString summary; // for the closing line
    QString failure; // why a document was not written; empty when all were
};

// The documents asked for, drawn from the rows to ship of the grid as the
// sheet has it. Nothing to ship writes a page that says so, so that a
// scheduled print of the file never prints an earlier day's.
DocumentsWritten WriteDocuments(CommandSession& session, const QList<PlannedDocument>& planned,
    const BatchOptions& options, ConsoleReport& report, DocumentPrinter* printer)
{
    DocumentsWritten result;
    if (std::all_of(planned.cbegin(), planned.cend(), [](const PlannedDocument& d) { return d.path.isEmpty(); }))
        return result;
    const CommandOutcome collected = session.CollectDocuments({});
    // The window makes no document then; this run writes a page saying so.
    for (const QString& told : collected.messages)
        if (told != QString::fromUtf8(kNothingToShipMessage))
            report.Line(told);
    if (!collected.documents) {
        result.failure = QStringLiteral("拣货单和发货单没有写入：%1").arg(collected.endedEarly);
        return result;
    }
    const ShippingDocuments& documents = *collected.documents;
    if (!printer) {
        result.failure = QStringLiteral("拣货单和发货单没有写入：这个程序不能生成 PDF。");
        return result;
    }
    const SlipPaper paper = options.slipPaper.value_or(SlipPaper::A5);
    for (const PlannedDocument& document : planned) {
        if (document.path.isEmpty())
            continue;
        const DocumentWritten written = printer->WritePdf(documents, document.which, paper, document.path);
        if (!written.IsWritten()) {
            result.failure
                = QStringLiteral("%1没有写入：%2").arg(DocumentName(document.which), written.toTell);
            return result;
        }
        if (documents.NothingToShip())
            result.summary += QStringLiteral("，%1（1 页，没有待发货的交易）已写入 %2")
                                  .arg(DocumentName(document.which), document.path);
        else if (document.which == ShippingDocument::PickingList)
            result.summary += QStringLiteral("，拣货单 %1 种宝贝 %2 件（%3 页）已写入 %4")
                                  .arg(documents.picking.lines.size())
                                  .arg(documents.picking.totalQuantity)
                                  .arg(written.pages)
                                  .arg(document.path);
        else
            result.summary += QStringLiteral("，发货单 %1 张（%2 页）已写入 %3")
                                  .arg(documents.slips.size())
                                  .arg(written.pages)
                                  .arg(document.path);
        // Slips written to a file are printed from it: the window's 打印
        // asks before printing them a second time.
        if (document.which == ShippingDocument::PackingSlips && !documents.NothingToShip()) {
            ParcelMarks marks(DefaultParcelMarksPath());
            if (marks.Mark(ParcelMark::Printed, SlipKeys(documents), QDateTime::currentDateTime())
                != MarksWrite::Written)
                qCWarning(lcExport) << "the written slips are not remembered as printed";
        }
    }
    return result;
}

// The courier sheet's request: the stored sender, each part the command
// line gives over it.
CourierRequest CourierRequestOf(const BatchOptions& options, const Settings& settings, const QString& path)
{
    CourierRequest request;
    request.path = path;
    if (!options.courierTemplate.isEmpty())
        request.templateName = options.courierTemplate;
    request.choices.includeToCheck = options.courierToCheck;
    request.sender = { options.senderName.value_or(settings.SenderName()),
        options.senderPhone.value_or(settings.SenderPhone()),
        options.senderAddress.value_or(settings.SenderAddress()) };
    return request;
}

// How the courier sheet went: the closing line's summary or failure, and
// the parcels to ship it left out.
struct CourierSheetWritten {
    QString summary;
    QString failure;
    int leftOut = 0;
};

// The courier sheet of the rows to ship; what it says goes to the report.
CourierSheetWritten WriteRunCourierSheet(
    CommandSession& session, const CourierRequest& request, ConsoleReport& report)
{
    CourierSheetWritten result;
    const CommandOutcome collected = session.CollectDocuments({});
    if (!collected.documents) {
        result.failure = QStringLiteral("快递导入表没有写入：%1").arg(collected.endedEarly);
        return result;
    }
    const CourierOutcome courier = ExportCourierSheet(*collected.documents, request);
    for (const QString& told : courier.toTell)
        report.Line(told);
    if (!courier.IsWritten()) {
        result.failure = QStringLiteral("快递导入表没有写入 %1。").arg(request.path);
        return result;
    }
    result.leftOut = courier.leftOut;
    result.summary = QStringLiteral("，快递导入表（%1）%2 个包裹已写入 %3")
                         .arg(request.templateName)
                         .arg(courier.parcels)
                         .arg(request.path);
    return result;
}

// The closing line's first words: what the status means.
QString StatusWords(BatchExitStatus status)
{
    switch (status) {
    case kBatchWrittenIncomplete:
        return QStringLiteral("已写入，但有交易缺详情");
    case kBatchPagesDiffer:
        return QStringLiteral("已写入，但有需要核对的地方");
    default:
        return QStringLiteral("完成");
    }
}

// "3 笔交易、1 页": what the refused and to-check findings name; empty for
// none (notes need no look).
QString NamedForALook(const FindingList& findings)
{
    QSet<QString> trades;
    QSet<int> pages;
    for (const Finding& f : findings.All()) {
        if (f.severity == FindingSeverity::Note)
            continue;
        if (f.ConcernsTrade())
            trades.insert(f.orderNumber);
        else
            pages.insert(f.page);
    }
    QStringList named;
    if (!trades.isEmpty())
        named.append(QStringLiteral("%1 笔交易").arg(trades.size()));
    if (!pages.isEmpty())
        named.append(QStringLiteral("%1 页").arg(pages.size()));
    return named.join(QStringLiteral("、"));
}

// The findings told as FindingsReport.h lays them out; output: the run's
// first file, beside which a long list of notes is written (none: every
// trade is named on its line).
void ReportFindingsOfRun(const FindingList& findings, const QString& output, ConsoleReport& report)
{
    const QString notesFile = output.isEmpty() ? QString() : NotesFileBeside(output);
    FindingsReport told = ReportFindings(findings, notesFile);
    if (!told.noteList.isEmpty()) {
        if (const WholeFileWritten written = WriteFileWhole(notesFile, told.noteList.toUtf8()); !written) {
            // Without the file, every trade is named where it is told.
            qCWarning(lcExport) << "could not write" << notesFile << written.reason;
            told = ReportFindings(findings, QString());
            told.lines.append(QStringLiteral("（提示的完整列表没能写入 %1：%2）")
                                  .arg(QDir::toNativeSeparators(notesFile), written.reason));
        }
    }
    for (const QString& line : std::as_const(told.lines))
        report.Line(line);
}

// Where the run writes, every path made absolute.
struct RunOutputs {
    QString sheet;
    QList<PlannedDocument> documents;
    QString courierSheet;

    // Every file the run is to write, in the order they are told.
    QStringList All() const
    {
        QStringList all { sheet };
        for (const PlannedDocument& document : documents)
            all.append(document.path);
        all.append(courierSheet);
        all.removeAll(QString());
        return all;
    }
};

RunOutputs OutputsOf(const BatchOptions& options)
{
    const auto absolute = [](const QString& path) {
        return path.isEmpty() ? path : QDir::cleanPath(QDir::current().absoluteFilePath(path));
    };
    return { absolute(options.exportPath),
        { { ShippingDocument::PickingList, absolute(options.pickingListPath) },
            { ShippingDocument::PackingSlips, absolute(options.packingSlipsPath) } },
        absolute(options.courierSheetPath) };
}

// What stops the run before the walk, as a bad folder does: a courier
// template that is not there or has a bad line, a sender it lacks, an .xls
// name; a missing or read-only folder, a read-only file, a file another
// program holds, each told as what it is; a list page that is not the list.
std::optional<BatchResult> RefusedBeforeTheWalk(BrowserPage& browser, const ListPageArrival& arrival,
    const RunOutputs& outputs, const CourierRequest& courier)
{
    if (!outputs.courierSheet.isEmpty())
        if (const CourierTemplateRead checked = CheckCourierRequest(courier); !checked)
            return BatchResult(kBatchFailed, checked.reason);
    for (const QString& target : outputs.All())
        if (const QString problem = SaveTargetProblemText(CheckSaveTarget(target), target);
            !problem.isEmpty())
            return BatchResult(kBatchFailed, problem);
    if (const ListPageCheck list = CheckListPage(browser, arrival); list.state != ListPageState::List)
        return list.Refusal();
    return std::nullopt;
}

BatchResult EndedEarly(const CommandOutcome& outcome)
{
    return BatchResult(kBatchFailed, QStringLiteral("导出失败：%1").arg(outcome.endedEarly));
}

// What the walk has to tell beyond its findings (the pages' own notes, a
// history or recovery file that failed); the closing lines say the rest.
void TellExtraction(const CommandOutcome& extracted, const WalkResult& walk, ConsoleReport& report)
{
    const QString walkReport = WalkReportMessage(walk);
    for (const QString& told : extracted.messages) {
        // The window's word for an empty grid points at the list below its
        // buttons; here nobody looks at a window.
        if (told == QString::fromUtf8(kNoTradesMessage))
            report.Line(QString::fromUtf8(kNoTradesUnattendedText));
        else if (told != walkReport)
            report.Line(told);
    }
}

// A sheet that silently misses pages, or an empty one the list did not call
// empty, would pass for a whole one: nothing is written, and why is told.
BatchResult NothingWritten(const WalkResult& walk, BatchExitStatus status, const RunOutputs& outputs)
{
    QString why = WalkEndMessage(walk);
    if (why.isEmpty() && walk.details.sessionExpired)
        why = QStringLiteral("登录已过期，最后一页的详情没有下载完，请重新登录后再提取。");
    else if (why.isEmpty() || status == kBatchListUnreadable)
        why = QStringLiteral("已卖出的宝贝列表里一笔交易也没有读到，列表也没有说它是空的。");
    return BatchResult(status, why + QStringLiteral("没有写入 %1。").arg(outputs.All().join(QStringLiteral("、"))));
}

// "提取 N 笔交易（…来自历史记录），去掉关闭交易 …": what the walk did.
QString ExtractedWords(const CommandOutcome& extracted, const WalkResult& walk, int tradesKept)
{
    QString words = QStringLiteral("提取 %1 笔交易").arg(extracted.tradesRead);
    if (walk.historyUsed)
        words += QStringLiteral("（%1 笔详情来自历史记录）").arg(extracted.detailsFromHistory);
    if (extracted.closedFiltered)
        words += QStringLiteral("，去掉关闭交易 %1 笔").arg(extracted.tradesRead - tradesKept);
    return words;
}

// The sheet written: the closing line's words, or the run's failure.
struct SheetWritten {
    QString summary;
    std::optional<BatchResult> failure;
};

SheetWritten WriteRunSheet(
    CommandSession& session, const QString& path, const BatchOptions& options, ConsoleReport& report)
{
    const CommandOutcome exported
        = session.ExportTo(path, options.withNotes ? ExportNotes::With : ExportNotes::Without);
    for (const QString& told : exported.messages)
        report.Line(told);
    if (!exported.endedEarly.isEmpty())
        return { {}, EndedEarly(exported) };
    if (!exported.written || !exported.written->IsWritten())
        return { {},
            BatchResult(kBatchFailed,
                QStringLiteral("导出失败%1，%2 没有写入。")
                    .arg(exported.written && exported.written->NoRoom() ? QStringLiteral("：磁盘已满") : QString(),
                        path)) };
    const TradeGrid& grid = session.Grid();
    return { QStringLiteral("，%1 %2 行，已写入 %3")
                 .arg(options.merge ? QStringLiteral("合并后") : QStringLiteral("共"))
                 .arg(grid.Rows() - grid.FixedRows())
                 .arg(path),
        std::nullopt };
}

// The closing line: the status's own words and what was written, after the
// walk's end and the downloads that failed, with what needs a look.
QString ClosingLine(
    BatchExitStatus status, const WalkResult& walk, const FindingList& findings, const QString& written)
{
    QString line = StatusWords(status) + QStringLiteral("：") + written;
    if (walk.end == WalkEnd::PageLimit || walk.end == WalkEnd::PageUnreadable)
        line = WalkEndMessage(walk) + QLatin1Char('\n') + line;
    if (const QString failedDownloads = DetailShortfallMessage(walk.details, INT_MAX); !failedDownloads.isEmpty())
        line = failedDownloads + QLatin1Char('\n') + line;
    if (const QString named = NamedForALook(findings); !named.isEmpty())
        line += QStringLiteral("（%1需要核对，见上面各行）").arg(named);
    return line;
}

} // namespace

SessionHooks BatchSessionHooks(const BatchOptions& options, const Settings& settings, ConsoleReport& report)
{
    SessionHooks hooks;
    const bool filterClosed = options.filterClosed.value_or(settings.CheckBox(0).value_or(0) == 1);
    hooks.filterClosed = [filterClosed] { return filterClosed; };
    hooks.pageRead = [&report](int page, int trades) { report.PageRead(page, trades); };
    return hooks;
}

BatchResult ExportFromListPage(CommandSession& session, BrowserPage& browser, const ListPageArrival& arrival,
    const BatchOptions& options, ConsoleReport& report, DocumentPrinter* printer)
{
    const RunOutputs outputs = OutputsOf(options);
    const CourierRequest courier = CourierRequestOf(options, session.RunSettings(), outputs.courierSheet);
    if (std::optional<BatchResult> refused = RefusedBeforeTheWalk(browser, arrival, outputs, courier))
        return *refused;

    const CommandOutcome extracted = session.Run(Command::ExtractAll);
    if (!extracted.endedEarly.isEmpty() || !extracted.walk)
        return EndedEarly(extracted);
    const WalkResult& walk = *extracted.walk;
    TellExtraction(extracted, walk, report);
    // The trades read, not those kept: a list of closed trades only, all
    // filtered away, was read, not unreadable.
    const BatchExitStatus status = ExitStatusOf(walk, extracted.findings, extracted.tradesRead);
    // Every trade concerned is named, with a row or without; a long list of
    // notes goes to a file beside the output, but only on a run that writes.
    ReportFindingsOfRun(extracted.findings, WritesFile(status) ? outputs.All().value(0) : QString(), report);
    if (!WritesFile(status))
        return NothingWritten(walk, status, outputs);
    const int tradesKept = CountTrades(session.Grid());
    if (options.merge)
        if (const CommandOutcome merged = session.Run(Command::Merge); !merged.endedEarly.isEmpty())
            return EndedEarly(merged);

    QString done = ExtractedWords(extracted, walk, tradesKept);
    if (!outputs.sheet.isEmpty()) {
        const SheetWritten sheet = WriteRunSheet(session, outputs.sheet, options, report);
        if (sheet.failure)
            return *sheet.failure;
        done += sheet.summary;
    }
    // A document or sheet that fails after others were written: the closing
    // line says what was written before the failure.
    const DocumentsWritten written = WriteDocuments(session, outputs.documents, options, report, printer);
    if (!written.failure.isEmpty())
        return BatchResult(kBatchFailed,
            QStringLiteral("未全部写入：") + done + written.summary + QStringLiteral("；但") + written.failure);
    done += written.summary;
    BatchExitStatus finalStatus = status;
    if (!outputs.courierSheet.isEmpty()) {
        const CourierSheetWritten sheet = WriteRunCourierSheet(session, courier, report);
        if (!sheet.failure.isEmpty())
            return BatchResult(
                kBatchFailed, QStringLiteral("未全部写入：") + done + QStringLiteral("；但") + sheet.failure);
        done += sheet.summary;
        // Parcels to ship left off the sheet need a look, as the trades
        // named above do.
        if (sheet.leftOut > 0 && finalStatus == kBatchWritten)
            finalStatus = kBatchPagesDiffer;
    }
    return { finalStatus, ClosingLine(finalStatus, walk, extracted.findings, done) };
}

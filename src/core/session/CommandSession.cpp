#include "CommandSession.h"

#include "core/base/Logging.h"
#include "core/downloads/DetailDownloadPass.h"
#include "core/export/ExportGrid.h"
#include "core/extract/ListParser.h"
#include "core/grid/GridOperations.h"
#include "core/grid/GridSteps.h"
#include "core/grid/RecipientMerge.h"
#include "core/grid/RowHeights.h"
#include "core/grid/TradeRows.h"
#include "core/history/HistoryTrouble.h"
#include "core/network/PageAccess.h"
#include "core/progress/Progress.h"
#include "core/recovery/GridRecovery.h"
#include "core/session/PageExtraction.h"
#include "core/session/RunContext.h"
#include "core/text/TextMeasurer.h"

#include <exception>

std::optional<Command> CommandAt(int index)
{
    if (index < int(Command::ExtractPage) || index > int(Command::Export))
        return std::nullopt;
    return Command(index);
}

CommandSession::CommandSession(RunContext& run, BrowserPage& browser, PageLoadWatch& nextPage,
    SaveDialog* saveDialog, SessionHooks hooks)
    : run_(run)
    , browser_(browser)
    , nextPage_(nextPage)
    , saveDialog_(saveDialog)
    , hooks_(std::move(hooks))
    , updateCheck_(run)
{
    guard_.SetBusyObserver([this](bool busy) {
        if (hooks_.busyChanged)
            hooks_.busyChanged(busy);
    });
}

CommandOutcome CommandSession::Run(Command command)
{
    CommandOutcome outcome;
    if (!guard_.Run([&] { outcome = Guarded([&] { return Execute(command); }); }))
        qCInfo(lcCommands) << "command" << int(command) << "not run: another command is running";
    return outcome;
}

void CommandSession::RunWhenFree(
    Command command, std::function<bool()> wanted, std::function<void(const CommandOutcome&)> done)
{
    guard_.RunWhenFree(QStringLiteral("command %1").arg(int(command)), [this, command, wanted, done] {
        if (wanted && !wanted())
            return;
        const CommandOutcome outcome = Guarded([&] { return Execute(command); });
        if (done)
            done(outcome);
    });
}

CommandOutcome CommandSession::GridChanged()
{
    CommandOutcome outcome;
    const bool ran = guard_.Run([&] {
        outcome = Guarded([] {
            CommandOutcome nothing;
            nothing.ran = true;
            return nothing;
        });
    });
    if (!ran)
        qCInfo(lcCommands) << "grid change not followed up: another command is running";
    return outcome;
}

CommandOutcome CommandSession::ExportTo(const QString& path, ExportNotes notes)
{
    CommandOutcome outcome;
    const bool ran = guard_.Run([&] {
        outcome = Guarded([&] {
            CommandOutcome written;
            written.ran = true;
            written.written
                = WriteExportFile(run_.progress, grid_, path, QString::fromUtf8(kExportSheetName), notes);
            written.messages = ExportResultMessages(run_.progress, *written.written);
            return written;
        });
    });
    if (!ran)
        qCInfo(lcCommands) << "export not run: another command is running";
    return outcome;
}

CommandOutcome CommandSession::CollectDocuments(const DocumentRows& rows)
{
    CommandOutcome outcome;
    const bool ran = guard_.Run([&] {
        outcome = Guarded([&] {
            CommandOutcome collected;
            collected.ran = true;
            collected.documents
                = CollectShippingDocuments(grid_, rows, shopNick_, QDate::currentDate(), findings_);
            collected.documents->memoOnSlips = run_.settings.SlipMemo();
            collected.messages = ShippingDocumentMessages(*collected.documents);
            collected.tradesNamed = int(
                collected.documents->withoutRecipient.size() + collected.documents->recipientRefused.size());
            return collected;
        });
    });
    if (!ran)
        qCInfo(lcCommands) << "documents not collected: another command is running";
    return outcome;
}

void CommandSession::EndRun()
{
    guard_.DropKeptActions();
    run_.progress.RequestStop();
    run_.Silence();
    CloseProgress(run_.progress);
    run_.progress.SetView(nullptr);
}

Settings& CommandSession::RunSettings()
{
    return run_.settings;
}

UserPrompt& CommandSession::Prompt()
{
    return run_.Prompt();
}

const QString& CommandSession::StartUrl() const
{
    return run_.endpoints.startUrl;
}

void CommandSession::SetUpGrid()
{
    SetUpTradeGrid(grid_, run_.measurer);
}

RecoveryOfferResult CommandSession::OfferRecovery()
{
    RecoveryOfferResult offered = StartGridRecovery(run_.checkpoint, run_.Prompt(), run_.details, grid_);
    if (offered.offer == RecoveryOffer::Restored)
        findings_ = offered.findings; // the restored grid's marks, as they were
    return offered;
}

void CommandSession::StartUpdateCheck(UpdateHost& host, std::function<void()> firstPage)
{
    updateCheck_.Start(host, std::move(firstPage));
}

bool CommandSession::MayClose(bool ownerWaiting)
{
    return MayEndWithGrid(run_.checkpoint, run_.Prompt(), grid_, Running() || ownerWaiting);
}

void CommandSession::EndCheckpoints(bool ownerWaiting)
{
    // While a command runs, the grid may be half-way through a change: the
    // file then keeps the grid of the last finished step.
    EndGridCheckpoints(run_.checkpoint, grid_, Running() || ownerWaiting);
}

CommandOutcome CommandSession::Guarded(const std::function<CommandOutcome()>& work)
{
    CommandOutcome outcome;
    ++depth_;
    try {
        outcome = work();
    } catch (const std::exception& error) {
        // The one place a grid range error is caught: a step that met the
        // grid's bounds ends the command; the grid keeps what the steps
        // before it did, a file being written stays as it was, and the
        // seller is told the command did not finish.
        qCWarning(lcCommands) << "command ended early:" << error.what();
        if (ProgressWindowOpen(run_.progress))
            CloseProgress(run_.progress);
        outcome.ran = true;
        outcome.endedEarly = QString::fromLocal8Bit(error.what());
        outcome.messages.append(QString::fromUtf8(kCommandEndedEarlyText));
    }
    --depth_;
    // Saved for crash recovery once the outermost command has ended; a save
    // that failed and a history that cannot be used are told once, after it.
    if (depth_ == 0) {
        const RecoverySave saved = run_.checkpoint ? run_.checkpoint->Save(grid_, findings_) : RecoverySave::Off;
        if (saved == RecoverySave::Failed && !saveFailureTold_) {
            saveFailureTold_ = true;
            outcome.messages.append(QString::fromUtf8(kRecoverySaveFailedText));
        }
        if (const QString trouble = UntoldHistoryTrouble(outcome.historyWriteFailed); !trouble.isEmpty())
            outcome.messages.append(trouble);
    }
    return outcome;
}

QString CommandSession::UntoldHistoryTrouble(bool writeFailed)
{
    if (historyTroubleTold_)
        return QString();
    const QString text = HistoryTroubleText(run_.history, writeFailed);
    historyTroubleTold_ = !text.isEmpty();
    return text;
}

CommandOutcome CommandSession::Execute(Command command)
{
    CommandOutcome outcome;
    outcome.ran = true;
    switch (command) {
    case Command::ExtractPage:
        return ExtractPage();
    case Command::ExtractAll:
        return ExtractAll();
    case Command::Merge:
        MergeSameRecipient(run_.progress, grid_);
        FitRowHeights(grid_);
        break;
    case Command::Clear:
        if (!ClearTradeGrid(run_.Prompt(), grid_))
            qCInfo(lcCommands) << "grid kept: the user did not confirm clearing it";
        else
            findings_ = {};
        break;
    case Command::DeleteRows: {
        const QSet<QString> before = TradesInGrid(grid_);
        DeleteSelectedRows(grid_);
        RowsRemoved(before);
        break;
    }
    case Command::RemoveClosed: {
        const QSet<QString> before = TradesInGrid(grid_);
        outcome.closedRemoved = RemoveClosedTrades(run_.progress, grid_);
        RowsRemoved(before);
        break;
    }
    case Command::Export:
        if (saveDialog_) {
            const ExportOutcome exported = ExportGrid(run_.Prompt(), run_.progress, grid_, *saveDialog_,
                QString::fromUtf8(kExportSheetName),
                hooks_.exportNotes && hooks_.exportNotes() ? ExportNotes::With : ExportNotes::Without);
            outcome.messages = exported.toTell;
        }
        break;
    }
    return outcome;
}

void CommandSession::RowsRemoved(const QSet<QString>& tradesBefore)
{
    // A trade is gone once none of its rows is left (deleting a further
    // item's row leaves the trade); what the checks said of it goes too.
    QSet<QString> gone = tradesBefore;
    gone.subtract(TradesInGrid(grid_));
    findings_.DropTrades(QStringList(gone.cbegin(), gone.cend()));
    FitRowHeights(grid_);
}

void CommandSession::ReadShopNickIfUnknown()
{
    if (!shopNick_.isEmpty())
        return;
    shopNick_ = ShopNickFromBody(GetBodyHtml(browser_));
    if (hooks_.shopNickRead)
        hooks_.shopNickRead(shopNick_);
}

bool CommandSession::RemoveClosedIfAsked(CommandOutcome& outcome)
{
    if (!hooks_.filterClosed || !hooks_.filterClosed())
        return false;
    // Findings on the trades the filter removes are no longer the seller's
    // concern; a trade refused without a row stays named.
    QStringList closed;
    for (int row = grid_.FixedRows(); row < grid_.Rows(); ++row)
        if (IsClosedStatus(CellOrEmpty(grid_, row, ColStatus)))
            closed.append(TradeOfOrder(CellOrEmpty(grid_, row, ColOrderNumber)));
    outcome.findings.DropTrades(closed);
    const QSet<QString> before = TradesInGrid(grid_);
    outcome.closedRemoved = RemoveClosedTrades(run_.progress, grid_);
    RowsRemoved(before);
    outcome.closedFiltered = true;
    return true;
}

CommandOutcome CommandSession::ExtractPage()
{
    CommandOutcome outcome;
    outcome.ran = true;
    ReadShopNickIfUnknown();
    const int tradesBefore = CountTrades(grid_);
    DetailDownloadPass pass;
    PageExtraction page = ExtractTradePage(run_, browser_, grid_, false, pass);
    outcome.tradesRead = CountTrades(grid_) - tradesBefore;
    outcome.detailsFromHistory = pass.fromHistory;
    outcome.historyWriteFailed = pass.historyWriteFailed;
    outcome.tradesNamed = page.tradesNamed;
    outcome.findings = page.findings;
    outcome.messages = page.messages;
    if (run_.measurer)
        AutoFitColumns(*run_.measurer, grid_, 1, &run_.progress);
    if (RemoveClosedIfAsked(outcome))
        qCInfo(lcCommands) << outcome.closedRemoved << "closed trades removed after the page";
    findings_.Append(outcome.findings);
    return outcome;
}

CommandOutcome CommandSession::ExtractAll()
{
    CommandOutcome outcome;
    outcome.ran = true;
    StartProgress(run_.progress, QString::fromUtf8(kExtractingMessage), kExtractAllProgressTotal, 0);
    ReadShopNickIfUnknown();
    DetailDownloadPass pass;
    pass.wait = run_.networkWait;
    WalkResult walk = ExtractAllPages(run_, browser_, grid_, nextPage_, pass, kNextPageTimeoutMs, [this](int page) {
        if (hooks_.pageRead)
            hooks_.pageRead(page, CountTrades(grid_));
    });
    outcome.historyWriteFailed = pass.historyWriteFailed;
    // Trades the filter removed are no longer the user's concern.
    outcome.findings = walk.details.findings;
    if (RemoveClosedIfAsked(outcome)) {
        walk.details.KeepOrdersIn(grid_);
        walk.details.findings = outcome.findings;
    }
    if (run_.measurer)
        AutoFitColumns(*run_.measurer, grid_, 1, &run_.progress);
    CloseProgress(run_.progress);
    outcome.messages = walk.pageMessages;
    if (const QString told = WalkReportMessage(walk); !told.isEmpty())
        outcome.messages.append(told);
    outcome.tradesRead = walk.trades;
    outcome.detailsFromHistory = walk.fromHistory;
    outcome.tradesNamed = walk.details.NamedTrades();
    findings_.Append(outcome.findings);
    outcome.walk = std::move(walk);
    return outcome;
}

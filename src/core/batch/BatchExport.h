#pragma once
// The unattended export once the browser has opened the sold-items list: it
// checks that the seller is logged in and the list is there, runs the same
// command session as the window, drops closed trades, merges when
// asked and writes the file with the window's writers, and the shipping
// documents when asked. Every outcome comes
// back as an exit status and the line that explains it.

#include "BatchOptions.h"
#include "ExitStatus.h"
#include "core/session/CommandSession.h"

#include <QString>
#include <QUrl>

class BrowserPage;
class ConsoleReport;
class Settings;

struct [[nodiscard]] BatchResult {
    BatchResult() = default;
    BatchResult(int status, QString line)
        : exitStatus(status)
        , closingLine(std::move(line))
    {
    }
    int exitStatus = kBatchFailed;
    // Told last whatever the status: what was written, or why nothing was.
    QString closingLine;
};

// How opening the list address ended.
struct ListPageArrival {
    QUrl url; // where the browser ended, redirects followed
    QString title; // of the page shown
    QString reason = QStringLiteral("not opened"); // why it did not load; empty when it finished without a network error

    bool Loaded() const { return reason.isEmpty(); }
};

// What the unattended run adds around its session's commands: the closed
// trades dropped when the option says so, else when the window's
// "过滤关闭交易" is stored checked; a report line per page.
SessionHooks BatchSessionHooks(const BatchOptions& options, const Settings& settings, ConsoleReport& report);

// Runs the export on session, whose browser shows where the list address
// ended (arrival). The printer writes the documents the options ask for;
// without one, asking for a document fails the run.
BatchResult ExportFromListPage(CommandSession& session, BrowserPage& browser, const ListPageArrival& arrival,
    const BatchOptions& options, ConsoleReport& report, DocumentPrinter* printer = nullptr);

#pragma once
// The unattended export once the browser has opened the sold-items list: it
// checks that the seller is logged in and the list is there, runs the same
// extract-all as the window's command, drops closed trades, merges when
// asked and writes the file with the window's writers. Every outcome comes
// back as an exit status and the line that explains it.

#include "BatchOptions.h"

#include <QString>
#include <QUrl>

class BrowserPage;
class ConsoleReport;
class PageLoadWatch;
class RunContext;
class TradeGrid;

enum BatchExitStatus {
    kBatchWritten = 0,
    kBatchFailed = 1,
    kBatchNotLoggedIn = 2,
    kBatchListUnreadable = 3,
    kBatchWrittenIncomplete = 4, // written, but details are missing: downloads failed
    kBatchPagesDiffer = 5, // written, but pages differ from what the tool reads: fields left empty
};

struct BatchResult {
    BatchResult() = default;
    BatchResult(int status, QString text)
        : exitStatus(status)
        , message(std::move(text))
    {
    }
    int exitStatus = kBatchFailed;
    QString message;
};

// How opening the list address ended.
struct ListPageArrival {
    bool loaded = false; // finished without a network error
    QUrl url; // where the browser ended, redirects followed
    QString error; // why it did not load
    QString title; // of the page shown
};

inline const char* const kListTableId = "J_ListTable";

BatchResult ExportFromListPage(RunContext& run, BrowserPage& browser, PageLoadWatch& nextPage, TradeGrid& grid,
    const ListPageArrival& arrival, const BatchOptions& options, ConsoleReport& report);

#pragma once
// The command-line options of the unattended export: `--export FILE` runs the
// whole walk without a window (extract all pages, drop closed trades, merge,
// write FILE) for a scheduler, with the login the window keeps.

#include "core/base/Done.h"
#include "core/print/DocumentPrinter.h"

#include <QString>
#include <optional>

class QCommandLineParser;

struct BatchOptions {
    QString exportPath;
    // --picking-list and --packing-slips: PDF files of the rows to ship.
    QString pickingListPath;
    QString packingSlipsPath;
    // --slip-paper; the run puts the stored setting here when it is not given.
    std::optional<SlipPaper> slipPaper;
    bool merge = false;
    // --with-notes: the sheet gets 买家留言 and 卖家备注 at its end. The
    // stored window setting is not read here: a scheduled run's sheet
    // changes only when its command line says so.
    bool withNotes = false;
    // Set by --filter-closed / --keep-closed; otherwise the stored check box.
    std::optional<bool> filterClosed;
    // The sold-items list to open; empty means the marketplace's own.
    QString listUrl;
    std::optional<int> detailDownloads;
    // --no-history, for the window's run as well.
    bool noHistory = false;
    // --network-wait: how long the walk waits for an unreachable trade host.
    int networkWaitSeconds = kDefaultNetworkWaitSeconds;
    static constexpr int kDefaultNetworkWaitSeconds = 600;
    // --courier-sheet FILE with --courier-template NAME (empty: 分列地址).
    QString courierSheetPath;
    QString courierTemplate;
    // --courier-to-check: the parcels whose address is to check go on the
    // courier sheet too (left out and named otherwise).
    bool courierToCheck = false;
    // --sender-name, --sender-phone, --sender-address: each over the stored one.
    std::optional<QString> senderName;
    std::optional<QString> senderPhone;
    std::optional<QString> senderAddress;

    // Whether the run writes any file: a sheet or a document.
    bool WritesAnything() const
    {
        return !exportPath.isEmpty() || !pickingListPath.isEmpty() || !packingSlipsPath.isEmpty()
            || !courierSheetPath.isEmpty();
    }
};

// Whether the arguments ask for an unattended export. Read before the
// application object exists, to pick a platform that needs no display.
bool IsBatchRun(int argc, char* argv[]);

// Whether the arguments ask for the log's lines on standard error too
// (--verbose). Read before the log file is opened.
bool IsVerboseRun(int argc, char* argv[]);

// Adds --export, --picking-list, --packing-slips, --slip-paper, --merge,
// --filter-closed, --keep-closed, --detail-downloads and --verbose (the window's --start-url doubles as the list address).
void AddBatchOptions(QCommandLineParser& parser);

// The options the command line gives, or why they cannot be used (for
// standard error).
using BatchOptionsRead = DoneWith<BatchOptions>;

// The options of a processed parser. Nothing to write means no batch run.
// A contradiction (both filter flags, a batch flag without --export, a count
// that is not a positive whole number) makes them unusable, with the reason.
BatchOptionsRead ReadBatchOptions(const QCommandLineParser& parser);

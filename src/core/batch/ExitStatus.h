#pragma once
// The unattended export's exit status, from how the walk ended and what
// its checks found: the one place a scheduler's answer is decided.
//
//   0  written, whole (notes at most)
//   1  any other failure
//   2  not logged in, or the session ended during the walk: nothing written
//   3  the list could not be read (its first page gave no trade and did not
//      say it is empty): nothing written, an earlier file kept
//   4  written, but details are missing because downloads failed
//   5  written, but something was refused or is to be checked, or a page
//      differs: a look is needed, not a retry
//
// When several apply, the one that means the most missing data wins: a run
// that wrote nothing says why (2, 3, 1 as the walk ended), then 4 before 5.

#include "core/session/Commands.h"

enum BatchExitStatus {
    kBatchWritten = 0,
    kBatchFailed = 1,
    kBatchNotLoggedIn = 2,
    kBatchListUnreadable = 3,
    kBatchWrittenIncomplete = 4, // written, but details are missing: downloads failed
    kBatchPagesDiffer = 5, // written, but pages differ from what the tool reads: fields left empty
};

// The status of a walk whose file (if any) is yet to be written; 0, 4 and
// 5 say the file is to be written. trades: the trades the walk read (before
// any filter).
[[nodiscard]] BatchExitStatus ExitStatusOf(const WalkResult& walk, const FindingList& findings, int trades);

// Whether the status is one after which the file is written.
inline bool WritesFile(BatchExitStatus status)
{
    return status == kBatchWritten || status == kBatchWrittenIncomplete || status == kBatchPagesDiffer;
}

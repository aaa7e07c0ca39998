#include "ExitStatus.h"

BatchExitStatus ExitStatusOf(const WalkResult& walk, const FindingList& findings, int trades)
{
    switch (walk.end) {
    case WalkEnd::SessionExpired:
        return kBatchNotLoggedIn;
    case WalkEnd::PageNotOpened:
    case WalkEnd::MarketUnreachable:
        return kBatchFailed;
    case WalkEnd::PageUnreadable:
        if (walk.passes <= 1)
            return kBatchListUnreadable;
        break;
    case WalkEnd::LastPage:
    case WalkEnd::StoppedByUser:
    case WalkEnd::PageLimit:
        break;
    }
    // Downloads that failed on the login page: the session ended under the
    // last page, and a sheet without its details would pass for a whole one.
    if (walk.details.sessionExpired)
        return kBatchNotLoggedIn;
    // An empty sheet replaces an earlier file only when the list said it
    // is empty.
    if (trades == 0 && !walk.listSaidEmpty)
        return kBatchListUnreadable;
    // Of the written outcomes, the one that means the most missing data:
    // trades whose details never came (their rows lack recipient and
    // waybill whole) before fields refused or to check.
    if (!walk.details.failed.isEmpty())
        return kBatchWrittenIncomplete;
    if (walk.end == WalkEnd::PageUnreadable || findings.Any(FindingSeverity::ToCheck))
        return kBatchPagesDiffer;
    return kBatchWritten;
}

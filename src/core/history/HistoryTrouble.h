#pragma once
// What the user hears about a trade history the run cannot use: one that
// would not open (a folder in its place, a file it may not write) or a page
// it did not take. The walk goes on without it; the session tells the user
// once per run, after the command, and the log has the details.

#include <QString>

class StoredDetails;

inline const char* const kHistoryOffText
    = "交易历史记录无法使用（%1），本次运行不使用历史记录，每笔交易的详情页都会下载。";
inline const char* const kHistoryWriteFailedText
    = "交易历史记录无法写入（%1），本次下载的详情没有存入历史记录，表格不受影响。";

// The text to tell about a run's history; empty when there is none or
// nothing is wrong with it. writeFailed: a page of details was not taken.
QString HistoryTroubleText(const StoredDetails* history, bool writeFailed);

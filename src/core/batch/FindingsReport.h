#pragma once
// The findings of an unattended run as its standard error tells them, for a
// reader of a scheduler's mail: first one line of counts, then every
// refused and every to-check finding on a line of its own (each needs a
// look), then the notes grouped, one line per kind naming its trades
// ("提示：412 笔交易的手机号码被隐藏，已照原样写入：订单编号 …、…"). A group
// that names more trades than a line holds names the first ones and leaves
// the whole list to a file beside the run's output.

#include "core/trade/Finding.h"

#include <QString>
#include <QStringList>

inline constexpr int kOrdersNamedInNoteLine = 20;

struct [[nodiscard]] FindingsReport {
    QStringList lines; // in the order they are told
    // The notes of the groups cut short, one line each, for the file the
    // lines name; empty when every group fits its line.
    QString noteList;
};

// notesFile: where the whole list goes when a group is cut short (named in
// its line); empty when no file can be written: every trade is then named
// in its line.
FindingsReport ReportFindings(
    const FindingList& findings, const QString& notesFile, int namedAtMost = kOrdersNamedInNoteLine);

// Where the notes' whole list goes beside output ("day.xlsx" → "day-提示.txt").
QString NotesFileBeside(const QString& output);

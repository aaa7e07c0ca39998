#pragma once
// The trade grid as the recovery file keeps it, and the file's byte format.
//
// Format 1, all integers little-endian:
//   header (32 bytes)
//     8  magic "LMTGRID\n"
//     2  format version of the writer (2; see below)
//     2  oldest format version a reader must understand to read the file (1)
//     4  reserved, 0
//     8  payload length in bytes
//     4  CRC-32 (zlib) of the payload
//     4  reserved, 0
//   payload
//     i32 rows, cols, fixedRows, fixedCols
//     text tag
//     i32 × cols  column widths;   i32 × cols  column alignments
//     i32 × rows  row heights
//     text × rows × cols  cell texts, row by row
//   text = u32 number of UTF-16 code units, then the units (2 bytes each).
// A later writer may append fields after these; it raises the oldest
// readable version only when a format-1 reader would misread the file.
// Texts stay UTF-16 so that saving is a copy rather than a conversion.

#include "core/trade/Finding.h"

#include <QByteArray>
#include <QString>
#include <QVector>

class TradeGrid;

struct GridSnapshot {
    int rows = 0;
    int cols = 0;
    int fixedRows = 0;
    int fixedCols = 0;
    QString tag;
    QVector<int> colWidths;
    QVector<int> colAlignments;
    QVector<int> rowHeights;
    QVector<QString> cells; // rows × cols, row by row
    FindingList findings; // what the checks found on the grid's trades (format 4)

    int DataRows() const { return rows - fixedRows; }
};

// Format 2 has the same bytes; its trade grid holds the hidden item column.
// A trade grid of format 1 is read with that column added, empty.
// Format 3 has the same bytes; its trade grid holds the note columns
// (买家留言, 卖家备注 after 单号, the hidden note record last). A trade grid
// of an earlier format is read with them added, empty.
// Format 4 appends, after the cells, the findings on the grid's trades, so
// that a refused or doubtful cell is still marked after a crash:
//   u32 count, then per finding: text order number, i32 list page, i32
//   column, i32 kind, i32 severity, text seen.
// A reader of format 3 would take them for a misshapen grid, so a file
// with findings needs a reader of format 4; one without stays readable by
// format 1 readers.
// Format 5 moves the findings out of the payload, so that a cut or changed
// findings part no longer costs the grid: the header's length and CRC cover
// the grid alone, and the findings follow the payload as a part of their
// own, checked on its own:
//   u32 length of the part's body, u32 CRC-32 of the body, then the body:
//   u32 count and the findings as in format 4.
// A file with findings needs a reader of format 5; one without is the same
// bytes as before.
inline constexpr quint16 kGridSnapshotFormat = 5;

// The recovery file's bytes for the grid as it is now, with the findings
// on its trades.
QByteArray EncodeGridSnapshot(const TradeGrid& grid, const FindingList& findings = {});

enum class SnapshotStatus {
    Ok,
    NotASnapshot, // no recovery-file header
    NewerFormat, // written by a later version this one cannot read
    Damaged, // header fine, contents cut off or changed
};

struct SnapshotReadResult {
    SnapshotStatus status = SnapshotStatus::NotASnapshot;
    GridSnapshot snapshot; // valid when status is Ok
    QString reason; // what was wrong, for the log; empty when Ok (see below)
    // The grid read whole (Ok) but not all of its findings did; those are
    // left out of the snapshot, the reason says why.
    bool findingsDamaged = false; // the findings part was cut or changed: none kept
    int findingsOfNewerKind = 0; // of a kind or weight a later version added
};

// Reads recovery-file bytes. Never throws; anything unexpected gives a
// status other than Ok and leaves snapshot empty.
SnapshotReadResult DecodeGridSnapshot(const QByteArray& bytes);

// Gives the grid the snapshot's shape, texts, heights, widths, alignments
// and tag, in one batch. Throws GridRangeError (and leaves the grid as it
// was) when the grid refuses the shape.
void ApplyGridSnapshot(const GridSnapshot& snapshot, TradeGrid& grid);

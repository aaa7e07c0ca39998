#pragma once
// Operations on the trade grid as a whole.

#include <QString>
#include <utility>

class Progress;
class TradeGrid;
class TextMeasurer;

// Fits every column to its widest text from firstRow on (column 0 stays
// 50 twips; others widest + 100, at most half the grid's Width, rounded half
// to even). Shows progress on showProgress, one step per column, when
// Rows > 200. A negative firstRow or a failing grid access throws
// GridRangeError to the caller; the progress window is closed either way.
void AutoFitColumns(const TextMeasurer& window, TradeGrid& grid, int firstRow, Progress* showProgress);

// Deletes data rows first..last (swapped and clamped into the data rows):
// texts below move up in every column but the sequence column, the last
// rows go, and the grid is visible afterwards. Never throws.
void DeleteRows(TradeGrid& grid, int first, int last);

// First cell, row by row and left to right, whose text equals text;
// (-1, -1) when there is none. A rectangle reaching outside the grid throws
// GridRangeError when the scan gets there.
std::pair<int, int> FindCell(
    const TradeGrid& grid, int firstRow, int firstCol, int lastRow, int lastCol, const QString& text);

// Sum of LeadingNumber over the data rows of col; 0 for a column outside the grid.
double SumColumn(const TradeGrid& grid, int col);

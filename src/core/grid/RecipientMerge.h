#pragma once
// The recipient merge: rows that ship together folded into one.

#include <QStringList>

class Progress;
class TradeGrid;

// Folds every group of rows with equal recipient, address, company and
// waybill into the group's topmost row.
void MergeSameRecipient(Progress& progress, TradeGrid& grid);

// The key texts of a data row, in kMergeKeyColumns order (MergeRules.h);
// throws GridRangeError for a row outside the grid.
QStringList MergeKeyTexts(const TradeGrid& grid, int row);

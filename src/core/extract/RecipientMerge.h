#pragma once
class Progress;
class TradeGrid;

// Folds every group of rows with equal recipient, address, company and
// waybill into the group's topmost row.
void MergeSameRecipient(Progress& progress, TradeGrid& grid);

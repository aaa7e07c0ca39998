#pragma once
// Row heights that belong to their rows. Deleting rows moves texts up but
// leaves every height at its position, so once the merge has made its rows
// tall, a later deletion or filter would leave tall rows on one-line trades
// and cut merged ones to their first line. After every command that removes
// or folds rows the heights are set again from the rows' own texts.

class TradeGrid;

// The lines a row shows in full: the most lines of any of its list and
// shipping cells (order number to waybill), the lines the merge joined. A
// buyer's own line breaks in a message or memo do not count; the cell's
// tooltip shows those.
int RowLines(const TradeGrid& grid, int row);

// Gives every shown data row RowLines × the default height; a hidden row
// (height 0) stays hidden. Announced as one change of the layout.
void FitRowHeights(TradeGrid& grid);

#pragma once
#include <QString>

class TradeGrid;

// Fetches the detail page of each of the last newRowCount rows (bottom-up,
// continuation rows skipped), writes columns 13-22, then copies them into
// every continuation row of the grid.
void DownloadTradeDetails(TradeGrid& grid, int newRowCount, bool showProgress);

// The "收货和物流信息" block of a detail page as one line:
// recipient，mobile，telephone，street，postcode§§method§§company§§waybill.
QString ParseRecipientBlock(QString pageText);

// Writes the block's values into columns 13-22 of row.
void WriteRecipientColumns(TradeGrid& grid, int row, const QString& block);

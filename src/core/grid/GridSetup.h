#pragma once
// Shape of the trade grid: two header rows, then a row per order, in the
// columns of TradeColumns.h.

#include "core/trade/OrderNumber.h"
#include "core/trade/TradeColumns.h"
#include "core/trade/TradeStatus.h"

#include <QStringList>
#include <QVector>

class TradeGrid;
class TextMeasurer;

inline const char* const kTradeGridTag = "交易记录";

// Whether an export adds the buyer's message and the seller's memo at the
// end of the sheet.
enum class ExportNotes { Without, With };

QStringList TradeGridTitles();
QStringList TradeGridLetters();

// Sets the grid up once (Tag "交易记录" marks it); a second call does nothing.
// The measurer is the main window's text width; without one (headless
// runs) the columns are fitted to an approximation of the window's font.
void SetUpTradeGrid(TradeGrid& grid, const TextMeasurer* measurer = nullptr);
// SimSun 9 point at 96 dpi, character by character: the width headless runs
// fit columns to.
const TextMeasurer& ApproximateTradeGridMeasurer();

// The columns an export writes from: those of the trade grid's sheet (hidden
// ones among them are skipped by width), then its note columns when asked;
// every column of any other grid.
QVector<int> ExportedColumns(const TradeGrid& grid, ExportNotes notes = ExportNotes::Without);

void BuildGridHeader(TradeGrid& grid, const QStringList& letters, const QStringList& titles);

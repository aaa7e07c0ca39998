#pragma once
// The cells of a row a finding concerns, for the grid's tints: the cell it
// names and every cell it left empty or doubts. An address line that could
// not be read leaves recipient, mobile, 省/市/区, address and postcode empty,
// and each of them is tinted; an address the division list places elsewhere
// tints the city or the district that does not belong, not both.

#include "core/trade/Finding.h"

#include <QList>

class TradeGrid;

// Columns of row (a row holding the finding's trade) the finding tints, in
// column order; a finding on the whole trade tints its order number.
QList<int> FindingColumns(const Finding& finding, const TradeGrid& grid, int row);

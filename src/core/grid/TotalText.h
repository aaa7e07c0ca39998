#pragma once
// The text of the main window's total: the sum of the grid's amount column
// after "交易总额：", and the widest texts it can take, which the window
// makes room for so that every total shows whole.

#include <QString>
#include <QStringList>

class TradeGrid;

inline const char* const kTotalPrefix = "交易总额：";

// "交易总额：<total>元", or without "元"; the total of the amount column
// (0 for a grid without one).
QString TotalLabelText(const TradeGrid& grid, bool withYuan);

// The widest labels the total can show, "元" included: the amounts
// NumberText writes at their longest (15 significant digits, sign,
// exponent).
QStringList WidestTotalLabelTexts();

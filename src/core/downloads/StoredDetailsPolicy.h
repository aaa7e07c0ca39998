#pragma once
// When a trade's stored detail columns may stand in for its detail page.
//
// A trade that has ended ("交易成功" or "交易关闭") no longer changes its
// recipient, address or waybill, so what was fetched while it had ended is
// still what its detail page shows. Any other status (paid, shipped,
// refunding …) may still change, and so may a trade that ended only after
// its columns were stored: those are always downloaded again.

#include "core/trade/TradeStatus.h"

#include <QString>

// True only when the status stored with the columns and the trade's status
// in the list now are both final.
bool UseStoredDetails(const QString& storedStatus, const QString& currentStatus);

#pragma once
// Whether a run keeps the trade history: the stored setting "DetailHistory"
// (1, the default, or 0) beside the check boxes, which --no-history turns
// off for one run.

#include <memory>

class Settings;
class TradeHistory;

// The run's history at its usual place, or none when it is turned off (the
// option, or Settings::DetailHistory).
std::unique_ptr<TradeHistory> OpenRunHistory(bool noHistoryOption, const Settings& settings);

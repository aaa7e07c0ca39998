#pragma once
// How many trade detail pages download at once: the stored setting
// "DetailDownloads" (beside the check boxes), which a command-line option
// may override for one run. 1 downloads them one after another.

#include <QString>
#include <optional>

class Settings;

inline constexpr int kDefaultDetailDownloads = 4;
// The network layer opens at most six connections to one host; more
// requests would only queue there and spend their time-out waiting.
inline constexpr int kMaxDetailDownloads = 6;

// The number a text asks for: a whole number from 1 to kMaxDetailDownloads;
// nothing for any other text.
std::optional<int> DetailDownloadsFromText(const QString& text);

// The run's override when it has one, else the stored value when it is
// usable, else kDefaultDetailDownloads. Reading writes nothing.
int DetailDownloadLimit(std::optional<int> runOverride, const Settings& settings);

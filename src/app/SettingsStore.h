#pragma once
// The few settings that survive a restart, stored as texts under
// app\section\key: on Windows in the registry (HKEY_CURRENT_USER, the key's
// default value), elsewhere in an INI file in the per-user config location.

#include <QString>

inline const char* const kSettingsApp = "KX_ORD_C";
inline const char* const kSettingsSection = "QV09";

// Stores value; true when the store accepted the write.
bool SaveRegSetting(const QString& app, const QString& section, const QString& key, const QString& value);
// The stored text, or defaultValue when nothing usable is stored.
QString GetRegSetting(const QString& app, const QString& section, const QString& key, const QString& defaultValue);

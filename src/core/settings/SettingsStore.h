#pragma once
// The few settings that survive a restart, stored as texts under
// app\section\key: on Windows in the registry (HKEY_CURRENT_USER, the key's
// default value), elsewhere in an INI file in the per-user config location
// ($XDG_CONFIG_HOME/<app>/<section>.ini on Linux) with the same keys and texts.

#include "core/base/Done.h"

#include <QString>

inline const char* const kSettingsApp = "KX_ORD_C";
inline const char* const kSettingsSection = "QV09";

// Stores value; done when the store accepted the write, else the reason. A settings file that
// cannot be read as settings is kept beside the new one as "<file>.corrupt"
// rather than rewritten from whatever could be salvaged from it.
Done SaveRegSetting(const QString& app, const QString& section, const QString& key, const QString& value);
// The stored text, or defaultValue when nothing usable is stored (no value,
// an empty text, an unreadable or corrupt settings file). Reading writes
// nothing.
QString GetRegSetting(
    const QString& app, const QString& section, const QString& key, const QString& defaultValue);

// Where the settings of app and section live: the INI file's path, or the
// registry path on Windows.
QString SettingsLocation(const QString& app, const QString& section);

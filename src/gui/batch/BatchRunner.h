#pragma once
// Runs the unattended export: a browser that is never shown opens the
// sold-items list on the window's persistent profile, and the export logic
// takes it from there. Needs a QApplication; a display is not needed.

#include "core/batch/BatchExport.h"
#include "core/batch/BatchOptions.h"

class ConsoleReport;
struct Endpoints;
class Settings;
class WebBrowser;

// Longest wait for the list address to finish loading, redirects included.
inline constexpr int kListOpenTimeoutMs = 60000;
// How long a finished page may still hand over to another one (a script or
// meta refresh) before it counts as where the address ended.
inline constexpr int kListSettleMs = 1000;

// Before the application object exists: without a display (no DISPLAY or
// WAYLAND_DISPLAY) and without a chosen platform, use the offscreen one.
void UseOffscreenPlatformWithoutDisplay();

// Loads address and waits until the browser has settled on a page.
ListPageArrival OpenListPage(WebBrowser& browser, const QString& address, int timeoutMs = kListOpenTimeoutMs);

// The whole run on the settings the program read; returns the exit status.
// Progress and the outcome go to report.
int RunUnattendedExport(
    const BatchOptions& options, const Endpoints& endpoints, Settings settings, ConsoleReport& report);

#pragma once
// The lighting pages on the main window: the host that gives them the
// window's controls, the records, the engine state and the saves.

#include "quellix/app/config_calls.h"
#include "quellix/app/main_wnd.h"

namespace quellix::app {

// Installs the "Lighting" page (before Create, or on the UI thread).
void InstallLightingPages(CMainWnd& window, ConfigCalls& calls);

} // namespace quellix::app

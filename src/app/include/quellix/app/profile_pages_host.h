#pragma once
// The profile panels on the main window: the host that gives them the
// window's controls, the configuration calls and the other pages.

#include "quellix/app/config_calls.h"
#include "quellix/app/main_wnd.h"
#include "quellix/profiles/pages/profile_pages.h"

namespace quellix::app {

// Installs the "Profiles" and "ProfileLinks" pages (before Create, or on
// the UI thread).  The panels are reached afterwards through the profiles
// page: dynamic_cast<profiles::pages::ProfilesPage&>(window.Page(
// ui::Feature::Profiles)).Panels().
void InstallProfilePages(CMainWnd& window, ConfigCalls& calls);

} // namespace quellix::app

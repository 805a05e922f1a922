#pragma once
// The page navigation of the main window: the tab buttons select pages of
// "tab_switch" and of the keyboard's and mouse's own page layouts, and set
// up the profile panel that belongs to the sub-page.

#include <string_view>

#include "quellix/dui/paint_manager.h"

namespace quellix::app {

// Carries out the navigation for a "selectchanged" from `sender`; other
// senders change nothing.
void navigatePages(dui::CPaintManagerUI& pm, std::string_view sender);

} // namespace quellix::app

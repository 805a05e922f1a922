#pragma once
// The profile watchers as workers of the main window: each reaches its
// family's panel through the UI thread's dispatcher and asks the desktop
// which program is in front.

#include "quellix/app/main_wnd.h"
#include "quellix/platform/event.h"
#include "quellix/profiles/watcher.h"

#include <functional>

namespace quellix::app {

// On the UI thread, after the profile pages were installed: the body of the
// worker that runs `watcher` on the window's profile panel.  Without a
// profiles page the worker ends at once, as for a missing list.
std::function<void(platform::Event&)> profileWatcherWorker(CMainWnd& window,
                                                           const profiles::WatcherInfo& watcher,
                                                           const ProfileWatcherSetup& setup);

} // namespace quellix::app

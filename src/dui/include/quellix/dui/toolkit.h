#pragma once
// The toolkit context: one per UI, holding the backend, the dispatcher, the
// timers, the resource manager, the control factory and the live windows.
//
// Construct one on the UI thread before creating windows; it installs itself
// as the current toolkit (Toolkit::current()) for the DuiLib-style static
// accessors (CResourceManager::GetInstance(), CPaintManagerUI::MessageLoop(),
// PostMessage, ...) and uninstalls itself when destroyed.  Only one exists
// at a time; tests create a fresh one per test.

#include "quellix/dui/backend.h"
#include "quellix/dui/dispatcher.h"
#include "quellix/dui/timer_queue.h"
#include "quellix/dui/types.h"

#include <map>
#include <memory>

namespace quellix::dui {

class CResourceManager;
class CControlFactory;
class CWindowWnd;

class Toolkit {
public:
    explicit Toolkit(Backend& backend);
    ~Toolkit();
    Toolkit(const Toolkit&) = delete;
    Toolkit& operator=(const Toolkit&) = delete;

    // The installed toolkit; nullptr when none.  Safe from any thread.
    static Toolkit* current();
    // As current(), but throws std::logic_error when none is installed.
    static Toolkit& get();

    Backend& backend() { return backend_; }
    Dispatcher& dispatcher() { return dispatcher_; }
    TimerQueue& timers() { return timers_; }
    CResourceManager& resources() { return *resources_; }
    CControlFactory& factory() { return *factory_; }

    // Fires every timer due at the backend's current time.
    void fireDueTimers();

    // Live windows by handle (UI thread).
    HWND registerWindow(CWindowWnd& window);
    void unregisterWindow(HWND handle);
    CWindowWnd* findWindow(HWND handle) const;
    std::vector<CWindowWnd*> windows() const;

    // Repaint every window (after a language change, for example).
    void invalidateAll();

    // Process DPI awareness as the program declared it (no effect here).
    void setDpiAwareness(int awareness) { dpiAwareness_ = awareness; }
    int dpiAwareness() const { return dpiAwareness_; }

private:
    Backend& backend_;
    Dispatcher dispatcher_;
    TimerQueue timers_;
    std::unique_ptr<CResourceManager> resources_;
    std::unique_ptr<CControlFactory> factory_;
    std::map<HWND, CWindowWnd*> windows_;
    HWND nextHandle_ = 1;
    int dpiAwareness_ = 0;
};

} // namespace quellix::dui

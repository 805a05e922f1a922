#pragma once
// What the control model needs from a real user interface.
//
// The model (windows, controls, layout, notifications, timers, dispatcher)
// is platform-neutral; a Backend gives it native windows, an event loop, a
// clock, file dialogs and the tray.  The Qt view implements it in
// src/dui/qt; HeadlessBackend (headless.h) implements it for tests.
// All calls come on the UI thread unless noted.

#include "quellix/dui/file_dialog.h"
#include "quellix/dui/types.h"

#include <cstdint>
#include <optional>

namespace quellix::dui {

class CWindowWnd;
class CTrayIcon;
class Toolkit;

enum class ShowCommand { Hide, Show, ShowNoActivate, Minimize, Maximize, Restore };

class Backend {
public:
    virtual ~Backend() = default;

    // The toolkit attaches itself on construction and detaches on destruction.
    virtual void attach(Toolkit& toolkit) = 0;
    virtual void detach() = 0;

    // Native windows.  The model window holds the state (title, styles,
    // screen rectangle, visibility); the backend mirrors it.
    virtual void createWindow(CWindowWnd& window) = 0;
    // Must not call the window's virtual functions: the window may be
    // under destruction.
    virtual void destroyWindow(CWindowWnd& window) = 0;
    virtual void showWindow(CWindowWnd& window, ShowCommand command) = 0;
    // The window's screen rectangle (GetWindowRect) changed in the model.
    virtual void windowMoved(CWindowWnd& window) = 0;
    virtual void setTopmost(CWindowWnd& window, bool topmost) = 0;
    // A repaint of part of the window (client coordinates) is wanted.
    virtual void invalidate(CWindowWnd& window, const RECT& rect) = 0;

    // Runs a nested loop until endModalLoop() is called for the window
    // (the model calls it when the window is destroyed).
    virtual void runModalLoop(CWindowWnd& window) = 0;
    virtual void endModalLoop(CWindowWnd& window) = 0;

    // The application's main loop; returns the code given to quitEventLoop.
    virtual int runEventLoop() = 0;
    virtual void quitEventLoop(int exitCode) = 0;
    // Any thread: the dispatcher has work (the loop must call runPending()).
    virtual void wake() = 0;

    // Clock of the timers, in milliseconds from any fixed origin.
    virtual std::int64_t nowMs() = 0;
    // The toolkit's timer schedule changed (arm the next tick).
    virtual void timersChanged() = 0;

    virtual RECT workArea() = 0;
    virtual POINT cursorPos() = 0;

    virtual std::optional<CDuiString> showFileDialog(const FileDialogRequest& request) = 0;
    // Tray icon created, changed (tip, visibility) or deleted (deleted = true).
    virtual void trayIconChanged(const CTrayIcon& icon, bool deleted) = 0;
    virtual void openUrl(const CDuiString& url) = 0;
    // Whether a picture file can be read and decoded.  The default reads
    // the file's first bytes and knows the common picture formats by their
    // signature; a view with an image decoder decodes the whole file.
    // `why` says what is wrong when it cannot.
    virtual bool canLoadImage(const CDuiString& path, CDuiString& why);
};

} // namespace quellix::dui

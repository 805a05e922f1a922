#pragma once
// The Qt 6 view of the control model.
//
// One frameless top-level QWidget per model window paints the window's
// control tree and turns the user's input into model operations; the model
// decides everything else.  Posted work, timers and modal loops run on the
// Qt event loop.  Construct after the QApplication, on its thread.  This
// header does not include Qt, so code that only starts the view needs no
// Qt headers.

#include "quellix/dui/backend.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quellix::dui::qt {

class QtBackend : public Backend {
public:
    QtBackend();
    ~QtBackend() override;

    // Runs once, on the UI thread, right after the first window was painted
    // for the first time (start-up measurements and screenshots).
    void SetFirstPaintHandler(std::function<void(HWND)> handler);
    // Saves a PNG of what the window shows now; false when it cannot.
    bool GrabWindow(HWND window, const std::string& pngPath);
    // Whether the desktop offers a notification area for the tray icon.
    bool HasSystemTray() const;
    // While on, every text the view draws is checked for characters its
    // font (with the fallbacks) has no glyph for; the texts found so far.
    void SetGlyphCheck(bool enabled);
    std::vector<std::string> TextsWithMissingGlyphs() const;
    // Decodes the whole picture.
    bool canLoadImage(const CDuiString& path, CDuiString& why) override;

    void attach(Toolkit& toolkit) override;
    void detach() override;
    void createWindow(CWindowWnd& window) override;
    void destroyWindow(CWindowWnd& window) override;
    void showWindow(CWindowWnd& window, ShowCommand command) override;
    void windowMoved(CWindowWnd& window) override;
    void setTopmost(CWindowWnd& window, bool topmost) override;
    void invalidate(CWindowWnd& window, const RECT& rect) override;
    void runModalLoop(CWindowWnd& window) override;
    void endModalLoop(CWindowWnd& window) override;
    int runEventLoop() override;
    void quitEventLoop(int exitCode) override;
    void wake() override;
    std::int64_t nowMs() override;
    void timersChanged() override;
    RECT workArea() override;
    POINT cursorPos() override;
    std::optional<CDuiString> showFileDialog(const FileDialogRequest& request) override;
    void trayIconChanged(const CTrayIcon& icon, bool deleted) override;
    void openUrl(const CDuiString& url) override;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace quellix::dui::qt

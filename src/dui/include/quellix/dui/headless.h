#pragma once
// The headless backend: runs the control model without any display, for
// tests.
//
// - Time is virtual: AdvanceTime(ms) fires every due timer in order.
// - Posted work runs when the test pumps (Pump) or inside RunEventLoop.
// - Modal windows run scripts: when a window of a class runs modally, the
//   script registered for that class runs (acting as the user), then the
//   window is closed with the script's default code unless the script
//   closed it.  Unscripted modal windows close at once with their default
//   code (0) and are recorded.
// - File dialogs answer from a queue of scripted answers (cancel when empty).
// - UserDriver acts as the user on a window (click, select, type, drag a
//   slider, hover, pick a colour, choose a menu item, click the tray icon)
//   and reads what the user would see.

#include "quellix/dui/backend.h"
#include "quellix/dui/controls.h"
#include "quellix/dui/list.h"
#include "quellix/dui/tray_icon.h"
#include "quellix/dui/window.h"

#include <deque>
#include <functional>
#include <map>
#include <set>

namespace quellix::dui {

class HeadlessBackend;

struct ModalScript {
    // Runs once the window is shown modally and its "windowinit" was handled.
    std::function<void(WindowImplBase&, HeadlessBackend&)> run;
    // The code the window is closed with when the script did not close it.
    UINT defaultCode = 0;
};

struct ModalRecord {
    CDuiString className;
    UINT result = 0;
    // Text of the control "MessageText" when the window had one (message boxes).
    CDuiString messageText;
};

class HeadlessBackend : public Backend {
public:
    HeadlessBackend();
    ~HeadlessBackend() override;

    // --- scripting ---
    // Every modal run of a window class runs the script (until replaced).
    void OnModal(const CDuiString& windowClassName, ModalScript script);
    // Only the next modal run of the class (queued before OnModal scripts).
    void OnNextModal(const CDuiString& windowClassName, ModalScript script);
    // Closes the next modal window of that class with the code.
    void AnswerNextModal(const CDuiString& windowClassName, UINT code);
    const std::vector<ModalRecord>& ModalHistory() const { return modalHistory_; }
    // Answers of the next file dialogs; nothing = the user cancelled.
    void QueueFileDialogAnswer(std::optional<CDuiString> path);
    const std::vector<FileDialogRequest>& FileDialogRequests() const { return fileRequests_; }
    void SetCursorPos(POINT point) { cursor_ = point; }
    void SetWorkArea(RECT area) { workArea_ = area; }

    // --- time and loop ---
    std::int64_t NowMs() const { return now_; }
    // Moves virtual time forward, firing every timer that falls due in order
    // (and the work each tick posts) at its own due time.
    void AdvanceTime(std::int64_t ms);
    // Runs posted work until none is left.
    std::size_t Pump();
    bool IsQuitRequested() const { return quit_; }
    int ExitCode() const { return exitCode_; }

    // --- what the native side shows ---
    int InvalidateCount(HWND window) const;
    bool IsTrayIconShown() const { return trayShown_; }
    const CDuiString& TrayTip() const { return trayTip_; }
    HWND TrayOwner() const { return trayOwner_; }
    // The user releases a mouse button on the tray icon (WM_LBUTTONUP, WM_RBUTTONUP).
    bool ClickTray(UINT mouseMessage = WM_LBUTTONUP);
    std::vector<CDuiString> OpenedUrls() const { return urls_; }

    // --- Backend ---
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
    std::int64_t nowMs() override { return now_; }
    void timersChanged() override {}
    RECT workArea() override { return workArea_; }
    POINT cursorPos() override { return cursor_; }
    std::optional<CDuiString> showFileDialog(const FileDialogRequest& request) override;
    void trayIconChanged(const CTrayIcon& icon, bool deleted) override;
    void openUrl(const CDuiString& url) override { urls_.push_back(url); }

private:
    Toolkit* toolkit_ = nullptr;
    std::int64_t now_ = 0;
    bool quit_ = false;
    int exitCode_ = 0;
    std::map<CDuiString, ModalScript> scripts_;
    std::map<CDuiString, std::deque<ModalScript>> nextScripts_;
    std::vector<ModalRecord> modalHistory_;
    std::set<HWND> endedModals_;
    std::deque<std::optional<CDuiString>> fileAnswers_;
    std::vector<FileDialogRequest> fileRequests_;
    std::map<HWND, int> invalidations_;
    POINT cursor_{100, 100};
    RECT workArea_{0, 0, 1920, 1040};
    bool trayShown_ = false;
    CDuiString trayTip_;
    HWND trayOwner_ = kNullWindow;
    UINT trayMessage_ = WM_TRAYICON_MESSAGE;
    UINT trayId_ = 0;
    std::vector<CDuiString> urls_;
};

// Acts as the user on one window.  Every action refuses (returns false)
// when the user could not do it: no such control, hidden, disabled, or
// inside a container that blocks input.  Posted work is pumped after each
// action so that its effects are visible.
class UserDriver {
public:
    UserDriver(CWindowWnd& window, HeadlessBackend& backend);

    CControlUI* Find(const CDuiString& name) const;

    // Press and release the left button over the control.
    bool Click(const CDuiString& name);
    bool Click(CControlUI* control);
    // Hover: "msenter" (and "msleave" for the control hovered before).
    bool Hover(const CDuiString& name);
    bool Leave();
    // Give the keyboard focus.
    bool Focus(const CDuiString& name);
    // Type into an edit: focuses it, replaces its text, raises "textchanged".
    bool Type(const CDuiString& name, const CDuiString& text);
    // Select an item of a combo or list as the user does.
    bool SelectItem(const CDuiString& listName, int index);
    // Click an item of a list ("itemclick", then "itemselect").
    bool ClickItem(const CDuiString& listName, int index);
    // Drag a slider's thumb through the values, then release it.
    bool DragSlider(const CDuiString& name, std::initializer_list<int> values);
    bool PickColor(const CDuiString& name, DWORD argb);
    // Choose the element of an open menu window by name.
    static bool ChooseMenuItem(const CDuiString& elementName, HeadlessBackend& backend);

    // What the user sees.
    CDuiString TextOf(const CDuiString& name) const;
    // Visible with every container above it, in a visible window.
    bool IsShown(const CDuiString& name) const;
    bool IsEnabled(const CDuiString& name) const;

private:
    bool Usable(CControlUI* control) const;
    CWindowWnd& window_;
    CPaintManagerUI* manager_;
    HeadlessBackend& backend_;
};

} // namespace quellix::dui

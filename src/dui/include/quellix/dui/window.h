#pragma once
// Windows of the control model.
//
// CWindowWnd is a top-level window: a handle, a screen rectangle, styles,
// visibility, modal runs, window messages and window timers.  Messages are
// delivered to HandleMessage on the UI thread; PostMessage/SendMessage may
// be called from any thread (through the toolkit's dispatcher).
//
// WindowImplBase adds what a layout-built window needs: the paint manager
// with the control tree built from GetSkinFile() at creation, InitWindow()
// once the layout exists, the notification listener (Notify), the custom
// message hook that sees every message first (HandleCustomMessage), the
// builder callback for unknown classes (CreateControl) and the text query.

#include "quellix/dui/builder.h"
#include "quellix/dui/notify.h"
#include "quellix/dui/paint_manager.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/dui/types.h"

#include <functional>
#include <memory>

namespace quellix::dui {

// Window styles (platform values, so that callers keep their constants).
inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_MINIMIZE = 0x20000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_MAXIMIZE = 0x01000000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
inline constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
inline constexpr DWORD WS_EX_TOPMOST = 0x00000008;
inline constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;
inline constexpr DWORD UI_WNDSTYLE_FRAME = WS_VISIBLE | WS_POPUP | WS_CAPTION | WS_SYSMENU |
                                           WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_MINIMIZEBOX;
inline constexpr DWORD UI_WNDSTYLE_DIALOG = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
inline constexpr DWORD UI_CLASSSTYLE_DIALOG = 0x0008; // double clicks
inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

inline constexpr UINT IDOK = 1;
inline constexpr UINT IDCANCEL = 2;

class CWindowWnd {
public:
    CWindowWnd();
    virtual ~CWindowWnd();
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND GetHWND() const { return hwnd_; }
    virtual CDuiString GetWindowClassName() const = 0;
    virtual UINT GetClassStyle() const { return 0; }

    // Creates the window (WM_CREATE is handled before this returns).
    // Returns kNullWindow when creation failed (WM_CREATE returned -1).
    HWND Create(HWND parent, const CDuiString& title, DWORD style, DWORD exStyle, int x = 0,
                int y = 0, int cx = 0, int cy = 0);
    HWND Create(HWND parent, const CDuiString& title, DWORD style, DWORD exStyle, const RECT& rc);
    // Destroys the window: WM_DESTROY, owned windows, timers, the native
    // window, then OnFinalMessage (which may delete the object).
    bool DestroyWindow();

    void ShowWindow(bool show = true, bool takeFocus = true);
    // Shows the window and runs a nested loop until it is destroyed;
    // returns the code it was closed with (Close(code)).
    UINT ShowModal();
    // Posts WM_CLOSE with the code; by default the window is then destroyed.
    void Close(UINT code = IDOK);
    // Centres on the owner window, or on the work area without one.
    void CenterWindow();
    void SetIcon(UINT resourceId) { iconId_ = resourceId; }
    UINT GetIcon() const { return iconId_; }

    // Minimise, maximise, restore, close.
    void SysCommand(WPARAM command);

    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    void PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // Window timers raise WM_TIMER (wParam = id) on this window.  From
    // another thread the call is handed to the UI thread.
    void SetTimer(UINT id, UINT elapseMs);
    void KillTimer(UINT id);
    bool HasTimer(UINT id) const;

    // Geometry in screen coordinates; the client area is the whole window.
    RECT GetWindowRect() const { return rect_; }
    RECT GetClientRect() const { return {0, 0, rect_.width(), rect_.height()}; }
    void MoveWindow(const RECT& rc);
    void MoveWindow(int x, int y, int cx, int cy) { MoveWindow(RECT{x, y, x + cx, y + cy}); }
    void SetPosition(POINT topLeft);
    void ResizeClient(int cx = -1, int cy = -1);
    POINT ClientToScreen(POINT client) const;

    bool IsWindowVisible() const { return visible_; }
    bool IsMinimized() const { return minimized_; }
    bool IsMaximized() const { return maximized_; }
    bool IsTopmost() const { return topmost_; }
    void SetTopmost(bool topmost);
    bool IsModal() const { return modal_; }
    // Where ShowModal's result is kept; readable after the window is gone.
    std::shared_ptr<const UINT> GetModalResultSlot() const { return modalResult_; }
    bool IsDestroying() const { return destroying_; }

    const CDuiString& GetTitle() const { return title_; }
    void SetTitle(const CDuiString& title) { title_ = title; }
    DWORD GetStyle() const { return style_; }
    void SetStyle(DWORD style) { style_ = style; }
    DWORD GetExStyle() const { return exStyle_; }
    void SetExStyle(DWORD exStyle) { exStyle_ = exStyle; }
    HWND GetParentHWND() const { return parent_; }

    // The view reports what the user did to the native window.
    void OnNativeMoved(const RECT& rc);
    void OnNativeCloseRequest() { PostMessage(WM_CLOSE, IDCANCEL, 0); }

    // Delivers a message (UI thread).
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    // Called last when the window has been destroyed; may delete the object.
    virtual void OnFinalMessage(HWND) {}

protected:
    // The state that moves with messages.
    void SetVisibleState(bool visible) { visible_ = visible; }

private:
    friend class Toolkit;
    void ReleaseNative();

    HWND hwnd_ = kNullWindow;
    HWND parent_ = kNullWindow;
    CDuiString title_;
    DWORD style_ = 0;
    DWORD exStyle_ = 0;
    RECT rect_{};
    UINT iconId_ = 0;
    bool visible_ = false;
    bool minimized_ = false;
    bool maximized_ = false;
    bool topmost_ = false;
    bool modal_ = false;
    bool destroying_ = false;
    RECT restoreRect_{};
    std::shared_ptr<UINT> modalResult_;
};

class WindowImplBase : public CWindowWnd,
                       public INotifyUI,
                       public IDialogBuilderCallback,
                       public IQueryControlText {
public:
    WindowImplBase();
    ~WindowImplBase() override;

    // The layout: a resource id from res.xml or a file name in the skin folder.
    virtual CDuiString GetSkinFile() = 0;
    virtual CDuiString GetSkinFolder() { return {}; }
    // Runs after the layout was built and attached.
    virtual void InitWindow() {}
    // Called when the window has been destroyed; a window that owns itself
    // deletes itself here ("delete this").
    void OnFinalMessage(HWND) override {}

    // The default notification handling (does nothing).
    void Notify(TNotifyUI& msg) override;
    // Sees every message first; set handled to stop the default handling.
    virtual LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    CControlUI* CreateControl(const CDuiString& className) override;
    std::optional<CDuiString> QueryControlText(const CDuiString& key,
                                               const CDuiString& type) override;

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    CPaintManagerUI& GetPaintManager() { return m_pm; }
    CControlUI* FindControl(const CDuiString& name) const { return m_pm.FindControl(name); }
    template <class T> T* FindControl(const CDuiString& name) const {
        return m_pm.FindControl<T>(name);
    }
    // Why the last creation failed (layout missing or malformed).
    const std::vector<CDuiString>& GetBuildErrors() const { return buildErrors_; }

protected:
    // Per-message handlers after HandleCustomMessage; handled = false lets
    // the default handling run.
    virtual LRESULT OnCreate(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnClose(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnDestroy(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSize(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnGetMinMaxInfo(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSysCommand(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

    CPaintManagerUI m_pm;
    std::vector<CDuiString> buildErrors_;

private:
    bool windowInitPosted_ = false;
};

// --- Process-wide calls on the current toolkit ---

// Any thread.  Dropped when the window no longer exists by the time the UI
// thread handles it.
void PostMessage(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Any thread; blocks until handled.  0 when the window does not exist or the
// UI has shut down.
LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Any thread: runs a task on the UI thread (post or send).
void PostTask(std::function<void()> task);
bool SendTask(std::function<void()> task);
// Any thread: ends the event loop with the code.
void PostQuitMessage(int exitCode);
// UI thread.
bool IsWindow(HWND window);
CWindowWnd* FromHandle(HWND window);
// Any thread: the same id for the same name for the whole process, from
// 0xC000 up, as the platform numbers registered messages.
UINT RegisterWindowMessage(const CDuiString& name);
// Declares the process DPI aware (recorded only).
void SetProcessDPIAwareness(int awareness);
// UI thread: the pointer position and the work area, in screen coordinates.
POINT GetCursorPos();
RECT GetWorkArea();
// UI thread: opens a web address with the desktop's browser.
void ShellOpen(const CDuiString& url);

} // namespace quellix::dui

#include "quellix/dui/window.h"

#include "quellix/dui/toolkit.h"

#include <map>
#include <mutex>

namespace quellix::dui {

namespace {

LPARAM PackSize(int cx, int cy) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(cy & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(cx & 0xFFFF));
}

SIZE UnpackSize(LPARAM lParam) {
    auto v = static_cast<std::uint32_t>(lParam);
    return {static_cast<int>(v & 0xFFFF), static_cast<int>((v >> 16) & 0xFFFF)};
}

} // namespace

// --- CWindowWnd ---

CWindowWnd::CWindowWnd() = default;

CWindowWnd::~CWindowWnd() {
    if (hwnd_ != kNullWindow)
        ReleaseNative();
}

void CWindowWnd::ReleaseNative() {
    Toolkit* toolkit = Toolkit::current();
    if (toolkit == nullptr || hwnd_ == kNullWindow) {
        hwnd_ = kNullWindow;
        return;
    }
    toolkit->timers().killAll(this);
    toolkit->backend().destroyWindow(*this);
    if (modal_)
        toolkit->backend().endModalLoop(*this);
    toolkit->unregisterWindow(hwnd_);
    hwnd_ = kNullWindow;
    visible_ = false;
}

HWND CWindowWnd::Create(HWND parent, const CDuiString& title, DWORD style, DWORD exStyle, int x,
                        int y, int cx, int cy) {
    Toolkit& toolkit = Toolkit::get();
    if (hwnd_ != kNullWindow)
        return hwnd_;
    if (x == CW_USEDEFAULT || y == CW_USEDEFAULT) {
        RECT area = toolkit.backend().workArea();
        x = area.left + 100;
        y = area.top + 100;
    }
    parent_ = parent;
    title_ = title;
    style_ = style;
    exStyle_ = exStyle;
    rect_ = {x, y, x + std::max(cx, 0), y + std::max(cy, 0)};
    topmost_ = (exStyle & WS_EX_TOPMOST) != 0;
    destroying_ = false;
    hwnd_ = toolkit.registerWindow(*this);
    toolkit.backend().createWindow(*this);
    if (HandleMessage(WM_CREATE, 0, 0) == -1) {
        ReleaseNative();
        return kNullWindow;
    }
    if (hwnd_ != kNullWindow && (style_ & WS_VISIBLE))
        ShowWindow(true, (exStyle_ & WS_EX_NOACTIVATE) == 0);
    return hwnd_;
}

HWND CWindowWnd::Create(HWND parent, const CDuiString& title, DWORD style, DWORD exStyle,
                        const RECT& rc) {
    return Create(parent, title, style, exStyle, rc.left, rc.top, rc.width(), rc.height());
}

bool CWindowWnd::DestroyWindow() {
    if (hwnd_ == kNullWindow || destroying_)
        return false;
    destroying_ = true;
    Toolkit& toolkit = Toolkit::get();
    const HWND handle = hwnd_;
    // Owned windows go first, as on the platform.
    std::vector<HWND> owned;
    for (CWindowWnd* window : toolkit.windows())
        if (window != this && window->parent_ == handle)
            owned.push_back(window->hwnd_);
    // By handle: destroying one may already have destroyed another.
    for (HWND child : owned)
        if (CWindowWnd* window = toolkit.findWindow(child))
            window->DestroyWindow();
    HandleMessage(WM_DESTROY, 0, 0);
    toolkit.timers().killAll(this);
    visible_ = false;
    toolkit.backend().destroyWindow(*this);
    if (modal_)
        toolkit.backend().endModalLoop(*this);
    toolkit.unregisterWindow(handle);
    hwnd_ = kNullWindow;
    HandleMessage(WM_NCDESTROY, 0, 0);
    OnFinalMessage(handle); // may delete this
    return true;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
    if (hwnd_ == kNullWindow)
        return;
    visible_ = show;
    if (show)
        minimized_ = false;
    Toolkit::get().backend().showWindow(
        *this,
        show ? (takeFocus ? ShowCommand::Show : ShowCommand::ShowNoActivate) : ShowCommand::Hide);
    HandleMessage(WM_SHOWWINDOW, show ? 1 : 0, 0);
}

UINT CWindowWnd::ShowModal() {
    if (hwnd_ == kNullWindow)
        return static_cast<UINT>(-1);
    Toolkit& toolkit = Toolkit::get();
    auto result = std::make_shared<UINT>(0);
    modalResult_ = result;
    modal_ = true;
    ShowWindow(true);
    if (hwnd_ != kNullWindow)
        toolkit.backend().runModalLoop(*this); // the window may be deleted when this returns
    return *result;
}

void CWindowWnd::Close(UINT code) {
    if (hwnd_ == kNullWindow)
        return;
    const HWND handle = hwnd_;
    PostTask([handle, code] {
        Toolkit* toolkit = Toolkit::current();
        CWindowWnd* window = toolkit != nullptr ? toolkit->findWindow(handle) : nullptr;
        if (window == nullptr)
            return;
        if (window->modalResult_)
            *window->modalResult_ = code;
        window->HandleMessage(WM_CLOSE, code, 0);
    });
}

void CWindowWnd::CenterWindow() {
    if (hwnd_ == kNullWindow)
        return;
    Toolkit& toolkit = Toolkit::get();
    RECT around = toolkit.backend().workArea();
    if (CWindowWnd* owner = toolkit.findWindow(parent_);
        owner != nullptr && owner->IsWindowVisible() && !owner->IsMinimized())
        around = owner->GetWindowRect();
    const int w = rect_.width();
    const int h = rect_.height();
    int x = around.left + (around.width() - w) / 2;
    int y = around.top + (around.height() - h) / 2;
    // Keep the window on the work area.
    RECT area = toolkit.backend().workArea();
    x = std::max(area.left, std::min(x, area.right - w));
    y = std::max(area.top, std::min(y, area.bottom - h));
    MoveWindow(RECT{x, y, x + w, y + h});
}

void CWindowWnd::SysCommand(WPARAM command) {
    SendMessage(WM_SYSCOMMAND, command, 0);
}

LRESULT CWindowWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return dui::SendMessage(hwnd_, msg, wParam, lParam);
}

void CWindowWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    dui::PostMessage(hwnd_, msg, wParam, lParam);
}

void CWindowWnd::SetTimer(UINT id, UINT elapseMs) {
    Toolkit& toolkit = Toolkit::get();
    const HWND handle = hwnd_;
    if (handle == kNullWindow)
        return;
    if (!toolkit.dispatcher().isUiThread()) {
        PostTask([handle, id, elapseMs] {
            if (CWindowWnd* window = FromHandle(handle))
                window->SetTimer(id, elapseMs);
        });
        return;
    }
    toolkit.timers().set({this, id}, toolkit.backend().nowMs(), elapseMs, [handle, id] {
        if (CWindowWnd* window = FromHandle(handle))
            window->HandleMessage(WM_TIMER, id, 0);
    });
}

void CWindowWnd::KillTimer(UINT id) {
    Toolkit& toolkit = Toolkit::get();
    const HWND handle = hwnd_;
    if (!toolkit.dispatcher().isUiThread()) {
        PostTask([handle, id] {
            if (CWindowWnd* window = FromHandle(handle))
                window->KillTimer(id);
        });
        return;
    }
    toolkit.timers().kill({this, id});
}

bool CWindowWnd::HasTimer(UINT id) const {
    Toolkit* toolkit = Toolkit::current();
    return toolkit != nullptr && toolkit->timers().isSet({this, id});
}

void CWindowWnd::MoveWindow(const RECT& rc) {
    const bool resized = rc.width() != rect_.width() || rc.height() != rect_.height();
    rect_ = rc;
    if (hwnd_ == kNullWindow)
        return;
    Toolkit::get().backend().windowMoved(*this);
    if (resized)
        HandleMessage(WM_SIZE, 0, PackSize(rc.width(), rc.height()));
}

void CWindowWnd::SetPosition(POINT topLeft) {
    MoveWindow(RECT{topLeft.x, topLeft.y, topLeft.x + rect_.width(), topLeft.y + rect_.height()});
}

void CWindowWnd::ResizeClient(int cx, int cy) {
    RECT rc = rect_;
    if (cx >= 0)
        rc.right = rc.left + cx;
    if (cy >= 0)
        rc.bottom = rc.top + cy;
    MoveWindow(rc);
}

POINT CWindowWnd::ClientToScreen(POINT client) const {
    return {client.x + rect_.left, client.y + rect_.top};
}

void CWindowWnd::SetTopmost(bool topmost) {
    topmost_ = topmost;
    if (hwnd_ != kNullWindow)
        Toolkit::get().backend().setTopmost(*this, topmost);
}

void CWindowWnd::OnNativeMoved(const RECT& rc) {
    if (rc == rect_)
        return;
    MoveWindow(rc);
}

LRESULT CWindowWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    case WM_SYSCOMMAND: {
        if (hwnd_ == kNullWindow)
            return 0;
        Backend& backend = Toolkit::get().backend();
        switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
            minimized_ = true;
            backend.showWindow(*this, ShowCommand::Minimize);
            break;
        case SC_MAXIMIZE:
            if (!maximized_)
                restoreRect_ = rect_;
            maximized_ = true;
            minimized_ = false;
            visible_ = true;
            MoveWindow(backend.workArea());
            backend.showWindow(*this, ShowCommand::Maximize);
            break;
        case SC_RESTORE:
            if (minimized_)
                minimized_ = false;
            else if (maximized_) {
                maximized_ = false;
                MoveWindow(restoreRect_);
            }
            // Restoring a hidden window shows it.
            if (!visible_) {
                visible_ = true;
                backend.showWindow(*this, ShowCommand::Restore);
                HandleMessage(WM_SHOWWINDOW, 1, 0);
            } else {
                backend.showWindow(*this, ShowCommand::Restore);
            }
            break;
        case SC_CLOSE:
            PostMessage(WM_CLOSE, IDCANCEL, 0);
            break;
        default:
            break;
        }
        return 0;
    }
    default:
        return 0;
    }
}

// --- WindowImplBase ---

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() {
    if (Toolkit* toolkit = Toolkit::current()) {
        if (toolkit->resources().GetTextQueryInterface() == this)
            toolkit->resources().SetTextQueryInterface(nullptr);
    }
}

void WindowImplBase::Notify(TNotifyUI&) {}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

CControlUI* WindowImplBase::CreateControl(const CDuiString&) {
    return nullptr;
}

std::optional<CDuiString> WindowImplBase::QueryControlText(const CDuiString&, const CDuiString&) {
    return std::nullopt;
}

LRESULT WindowImplBase::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    LRESULT result = HandleCustomMessage(msg, wParam, lParam, handled);
    if (handled)
        return result;
    handled = true;
    switch (msg) {
    case WM_CREATE:
        result = OnCreate(msg, wParam, lParam, handled);
        break;
    case WM_CLOSE:
        result = OnClose(msg, wParam, lParam, handled);
        break;
    case WM_DESTROY:
        result = OnDestroy(msg, wParam, lParam, handled);
        break;
    case WM_SIZE:
        result = OnSize(msg, wParam, lParam, handled);
        break;
    case WM_GETMINMAXINFO:
        result = OnGetMinMaxInfo(msg, wParam, lParam, handled);
        break;
    case WM_SYSCOMMAND:
        result = OnSysCommand(msg, wParam, lParam, handled);
        break;
    case WM_SHOWWINDOW:
        // "windowinit" follows the first showing, once the loop runs again,
        // as it follows the first paint on the platform.
        if (wParam != 0 && !windowInitPosted_) {
            windowInitPosted_ = true;
            const HWND handle = GetHWND();
            PostTask([handle] {
                if (auto* window = dynamic_cast<WindowImplBase*>(FromHandle(handle)))
                    window->m_pm.SendWindowInit();
            });
        }
        handled = false;
        break;
    case WM_NCDESTROY:
        m_pm.RemoveNotifier(this);
        if (CControlUI* root = m_pm.GetRoot())
            root->FindControl(
                [this](CControlUI* c) {
                    m_pm.KillTimer(c);
                    return false;
                },
                UIFIND_ALL);
        handled = false;
        break;
    default:
        handled = false;
        break;
    }
    if (handled)
        return result;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool& handled) {
    handled = true;
    m_pm.Init(this);
    CDialogBuilder builder;
    CDuiString skin = GetSkinFile();
    if (CDuiString folder = GetSkinFolder(); !folder.empty() && skin.find('.') != CDuiString::npos)
        skin = folder + "/" + skin;
    CControlUI* root = builder.Create(skin, {}, this, &m_pm);
    buildErrors_ = builder.GetErrors();
    if (root == nullptr) {
        if (buildErrors_.empty())
            buildErrors_.push_back("layout '" + skin + "' has no controls");
        return -1;
    }
    m_pm.AttachDialog(root);
    m_pm.AddNotifier(this);
    SIZE init = m_pm.GetInitSize();
    if (init.cx > 0 && init.cy > 0)
        ResizeClient(init.cx, init.cy);
    m_pm.SetClientSize({GetWindowRect().width(), GetWindowRect().height()});
    InitWindow();
    return 0;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM lParam, bool& handled) {
    SIZE size = UnpackSize(lParam);
    m_pm.SetClientSize(size);
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

// --- process-wide calls ---

void PostTask(std::function<void()> task) {
    if (Toolkit* toolkit = Toolkit::current())
        toolkit->dispatcher().post(std::move(task));
}

bool SendTask(std::function<void()> task) {
    Toolkit* toolkit = Toolkit::current();
    return toolkit != nullptr && toolkit->dispatcher().send(std::move(task));
}

void PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    PostTask([window, msg, wParam, lParam] {
        if (CWindowWnd* target = FromHandle(window))
            target->HandleMessage(msg, wParam, lParam);
    });
}

LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    SendTask([&] {
        if (CWindowWnd* target = FromHandle(window))
            result = target->HandleMessage(msg, wParam, lParam);
    });
    return result;
}

void PostQuitMessage(int exitCode) {
    Toolkit* toolkit = Toolkit::current();
    if (toolkit == nullptr)
        return;
    if (toolkit->dispatcher().isUiThread()) {
        toolkit->backend().quitEventLoop(exitCode);
        return;
    }
    PostTask([exitCode] {
        if (Toolkit* t = Toolkit::current())
            t->backend().quitEventLoop(exitCode);
    });
}

bool IsWindow(HWND window) {
    return FromHandle(window) != nullptr;
}

CWindowWnd* FromHandle(HWND window) {
    Toolkit* toolkit = Toolkit::current();
    return toolkit != nullptr && window != kNullWindow ? toolkit->findWindow(window) : nullptr;
}

UINT RegisterWindowMessage(const CDuiString& name) {
    static std::mutex mutex;
    static std::map<CDuiString, UINT> ids;
    std::lock_guard lock(mutex);
    // Names are compared without regard to case, as the platform does.
    auto [it, inserted] = ids.emplace(ToLower(name), 0xC000u + static_cast<UINT>(ids.size()));
    return it->second;
}

void SetProcessDPIAwareness(int awareness) {
    if (Toolkit* toolkit = Toolkit::current())
        toolkit->setDpiAwareness(awareness);
}

POINT GetCursorPos() {
    return Toolkit::get().backend().cursorPos();
}

RECT GetWorkArea() {
    return Toolkit::get().backend().workArea();
}

void ShellOpen(const CDuiString& url) {
    Toolkit::get().backend().openUrl(url);
}

} // namespace quellix::dui

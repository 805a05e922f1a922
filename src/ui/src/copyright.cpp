#include "quellix/ui/copyright.h"

#include <algorithm>

#include "quellix/dui/toolkit.h"

namespace quellix::ui {

namespace {
constexpr dui::DWORD kWindowStyle = 0x96C80000;
constexpr dui::DWORD kWindowExStyle = dui::WS_EX_WINDOWEDGE;
constexpr const char* kTitle = "关于";
} // namespace

dui::POINT Ccopyright::PlaceFor(const dui::RECT& mainWindow, dui::SIZE size,
                                const dui::RECT& workArea) {
    dui::POINT at{2 * mainWindow.left, mainWindow.bottom / 2 - 80};
    // The formula alone can put the window off the screen when the main
    // window is far right or low; keep it reachable.
    at.x = std::max(workArea.left, std::min(at.x, workArea.right - size.cx));
    at.y = std::max(workArea.top, std::min(at.y, workArea.bottom - size.cy));
    return at;
}

Ccopyright* Ccopyright::Show(dui::CWindowWnd& mainWindow) {
    auto* about = new Ccopyright;
    if (about->Create(mainWindow.GetHWND(), kTitle, kWindowStyle, kWindowExStyle, 0, 0, 800, 572) ==
        dui::kNullWindow) {
        delete about;
        return nullptr;
    }
    const dui::RECT own = about->GetWindowRect();
    about->SetPosition(PlaceFor(mainWindow.GetWindowRect(), {own.width(), own.height()},
                                dui::Toolkit::get().backend().workArea()));
    about->ShowWindow(true);
    return about;
}

void Ccopyright::InitWindow() {
    SetStyle(GetStyle() | dui::WS_CLIPSIBLINGS | dui::WS_CLIPCHILDREN);
    link_ = FindControl("NetText");
}

void Ccopyright::Notify(dui::TNotifyUI& msg) {
    if (msg.sType == dui::DUI_MSGTYPE_CLICK && msg.pSender != nullptr) {
        if (msg.pSender->GetName() == "closebtn") {
            Close(2);
            return;
        }
        if (msg.pSender == link_) {
            dui::Toolkit::get().backend().openUrl(kMakerUrl);
            return;
        }
    }
    WindowImplBase::Notify(msg);
}

void Ccopyright::OnFinalMessage(dui::HWND) {
    delete this;
}

} // namespace quellix::ui

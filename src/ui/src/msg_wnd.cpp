#include "quellix/ui/msg_wnd.h"

#include "quellix/dui/toolkit.h"

namespace quellix::ui {

namespace {
constexpr const char* kMessageText = "MessageText";
constexpr const char* kMessageTitle = "MessageTitle";
} // namespace

CMsgWnd* CMsgWnd::CreateBox(dui::HWND parent, const dui::CDuiString& key, bool isResourceKey) {
    auto* box = new CMsgWnd;
    if (box->Create(parent, "", dui::WS_POPUP | dui::WS_CLIPCHILDREN, dui::WS_EX_TOOLWINDOW,
                    dui::CW_USEDEFAULT, dui::CW_USEDEFAULT) == dui::kNullWindow) {
        // The layout could not be built; the box never existed.
        delete box;
        return nullptr;
    }
    box->CenterWindow();
    if (!key.empty()) {
        box->SetMessage(key, isResourceKey);
    }
    return box;
}

dui::UINT CMsgWnd::RunBox(dui::HWND parent, const dui::CDuiString& key, bool isResourceKey,
                          bool autoClose) {
    CMsgWnd* box = CreateBox(parent, key, isResourceKey);
    if (box == nullptr) {
        return kResultCancel;
    }
    if (autoClose) {
        box->SetTimer(kAutoCloseTimer, kAutoCloseMs);
    }
    // The box deletes itself after its final message.
    return box->ShowModal();
}

dui::UINT CMsgWnd::MessageBox(dui::HWND parent, const dui::CDuiString& key, bool isResourceKey) {
    dui::Toolkit& toolkit = dui::Toolkit::get();
    if (toolkit.dispatcher().isUiThread()) {
        return RunBox(parent, key, isResourceKey, false);
    }
    dui::UINT result = kResultCancel;
    toolkit.dispatcher().send([&] { result = RunBox(parent, key, isResourceKey, false); });
    return result;
}

void CMsgWnd::PostMessageBox(dui::HWND parent, const dui::CDuiString& key) {
    dui::PostTask([parent, key] { RunBox(parent, key, true, false); });
}

void CMsgWnd::PostMessageText(dui::HWND parent, const dui::CDuiString& text) {
    dui::PostTask([parent, text] { RunBox(parent, text, false, false); });
}

void CMsgWnd::ShowAutoClose(dui::HWND parent) {
    RunBox(parent, kAutoCloseKey, true, true);
}

void CMsgWnd::InitWindow() {
    closeButton_ = FindControl("closebtn");
}

void CMsgWnd::SetMessage(const dui::CDuiString& text, bool isResourceKey,
                         const dui::CDuiString& title) {
    if (!title.empty()) {
        if (dui::CControlUI* titleControl = FindControl(kMessageTitle)) {
            titleControl->SetText(title);
        }
    }
    if (dui::CControlUI* message = FindControl(kMessageText)) {
        message->SetResourceText(isResourceKey);
        message->SetText(text);
    }
}

void CMsgWnd::Notify(dui::TNotifyUI& msg) {
    if (msg.sType == dui::DUI_MSGTYPE_CLICK && msg.pSender != nullptr) {
        const dui::CDuiString name = dui::ToLower(msg.pSender->GetName());
        if (msg.pSender == closeButton_ || name == "closebtn") {
            Close(kResultCancel);
            return;
        }
        if (name == "confirm_btn") {
            Close(kResultConfirm);
            return;
        }
        if (name == "cancel_btn") {
            Close(kResultCancel);
            return;
        }
    }
    WindowImplBase::Notify(msg);
}

dui::LRESULT CMsgWnd::HandleCustomMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam,
                                          bool& handled) {
    if (msg == dui::WM_TIMER && wParam == kAutoCloseTimer) {
        ++autoCloseTicks_;
        KillTimer(kAutoCloseTimer);
        Close(kResultCancel);
        handled = true;
        return 0;
    }
    return WindowImplBase::HandleCustomMessage(msg, wParam, lParam, handled);
}

void CMsgWnd::OnFinalMessage(dui::HWND) {
    delete this;
}

} // namespace quellix::ui

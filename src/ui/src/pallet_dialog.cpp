#include "quellix/ui/pallet_dialog.h"

#include "quellix/dui/toolkit.h"
#include "quellix/platform/debug.h"
#include "quellix/ui/colour_presets.h"

namespace quellix::ui {

namespace {
constexpr dui::DWORD kDialogStyle = 0x96C80000;
constexpr dui::DWORD kDialogExStyle = dui::WS_EX_WINDOWEDGE;
constexpr int kInitialWidth = 800;
constexpr int kInitialHeight = 572;
constexpr int kCursorOffset = 20;
constexpr const char* kTitle = "Quelan调色板";
} // namespace

CPalletDialog::Choice CPalletDialog::PickColour(dui::HWND owner, dui::DWORD initial) {
    CPalletDialog dialog(initial);
    if (dialog.Create(owner, kTitle, kDialogStyle, kDialogExStyle, 0, 0, kInitialWidth,
                      kInitialHeight) == dui::kNullWindow) {
        return {};
    }
    const dui::POINT cursor = dui::Toolkit::get().backend().cursorPos();
    dialog.SetPosition({cursor.x - kCursorOffset, cursor.y + kCursorOffset});
    const dui::UINT result = dialog.ShowModal();
    return {result, dialog.GetColour()};
}

void CPalletDialog::InitWindow() {
    SetStyle(GetStyle() | dui::WS_CLIPSIBLINGS | dui::WS_CLIPCHILDREN);
    cancelButton_ = FindControl("Pallet_BTN_CANCEL");
    okButton_ = FindControl("Pallet_BTN_OK");
    palette_ = FindControl<dui::CColorPaletteUI>("Pallet");
    if (palette_ != nullptr) {
        palette_->SetSelectColor(colour_);
    }
    if (dui::CControlUI* show = FindControl("color_show_btn")) {
        show->SetBkImage("");
        show->SetBkColor(colour_);
        show->Invalidate();
    }
}

void CPalletDialog::ShowColour(dui::DWORD colour) {
    if (dui::CControlUI* show = FindControl("color_show_btn")) {
        show->SetBkColor(colour);
        show->Invalidate();
    }
    if (palette_ != nullptr) {
        palette_->SetSelectColor(colour);
    }
}

void CPalletDialog::Notify(dui::TNotifyUI& msg) {
    if (msg.pSender == nullptr) {
        WindowImplBase::Notify(msg);
        return;
    }
    const dui::CDuiString& name = msg.pSender->GetName();
    if (msg.sType == dui::DUI_MSGTYPE_CLICK) {
        if (name == "closebtn") {
            Close(kResultCancel);
            return;
        }
        if (name == "okbtn") {
            if (palette_ == nullptr) {
                // Without a palette nothing was chosen; the caller keeps its colour.
                Close(kResultCancel);
                return;
            }
            const dui::CControlUI* show = FindControl("color_show_btn");
            colour_ = show != nullptr ? show->GetBkColor() : 0;
            Close(kResultOk);
            return;
        }
        if (const auto n = numberAfterPrefix(name, kPresetPrefix)) {
            if (const auto preset = presetColour(*n)) {
                ShowColour(*preset);
                platform::debugOutput("hongse");
            }
            return;
        }
    } else if (msg.sType == dui::DUI_MSGTYPE_COLORCHANGED && msg.pSender == palette_) {
        ShowColour(palette_->GetSelectColor());
        return;
    }
    WindowImplBase::Notify(msg);
}

} // namespace quellix::ui

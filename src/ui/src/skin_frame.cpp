#include "quellix/ui/skin_frame.h"

#include "quellix/dui/container.h"
#include "quellix/dui/file_dialog.h"
#include "quellix/dui/toolkit.h"
#include "quellix/platform/debug.h"
#include "quellix/ui/msg_wnd.h"
#include "quellix/ui/skin_observer.h"

namespace quellix::ui {

namespace {

constexpr dui::DWORD kFrameStyle = dui::WS_POPUP | dui::WS_VISIBLE;
constexpr dui::DWORD kFrameExStyle =
    dui::WS_EX_NOACTIVATE | dui::WS_EX_TOOLWINDOW | dui::WS_EX_TOPMOST;
// Where the window system puts a window whose position is left to it.
constexpr int kDefaultPosition = 0;

void broadcastPicture(const std::string& picture) {
    SkinObserver().Broadcast(SkinChangedParam{false, 0, picture});
}

// The user's own picture, shown until the program ends; a file that is not
// a readable picture would leave the window without a background, so it is
// refused with a message and the background shown stays.
void ChooseOwnPicture(dui::HWND mainWindow) {
    const auto chosen = dui::ShowFileDialog(
        dui::MakeFileDialogRequest(false, "(*.png) | *.png |(*.*)|*.*||", "png", "*.png",
                                   dui::OFN_HIDEREADONLY | dui::OFN_OVERWRITEPROMPT, mainWindow));
    if (!chosen) {
        return;
    }
    dui::CDuiString why;
    if (!dui::Toolkit::get().backend().canLoadImage(*chosen, why)) {
        platform::debugOutput("background picture " + *chosen + " refused: " + why);
        CMsgWnd::MessageBox(mainWindow, "message_skin_picture");
        return;
    }
    broadcastPicture(*chosen);
}

} // namespace

CSkinFrame* CSkinFrame::Show(dui::WindowImplBase& mainWindow, dui::CControlUI* skinButton,
                             const ShellSettings& settings) {
    auto* frame = new CSkinFrame(mainWindow.GetHWND(), skinButton, settings);
    if (frame->Create(mainWindow.GetHWND(), "", kFrameStyle, kFrameExStyle, kDefaultPosition,
                      kDefaultPosition, 0, 0) == dui::kNullWindow) {
        for (const auto& error : frame->GetBuildErrors()) {
            platform::debugOutput("skin.xml: " + error);
        }
        delete frame;
        return nullptr;
    }
    if (skinButton != nullptr) {
        const int width = frame->GetPaintManager().GetInitSize().cx;
        frame->SetPosition(PlaceFor(mainWindow, skinButton->GetPos(), width));
    }
    return frame;
}

dui::POINT CSkinFrame::PlaceFor(const dui::CWindowWnd& mainWindow, const dui::RECT& button,
                                int chooserWidth) {
    return mainWindow.ClientToScreen({button.right - chooserWidth, button.bottom});
}

void CSkinFrame::InitWindow() {
    SetIcon(kIconId);
    SetStyle((GetStyle() & ~dui::WS_CAPTION) | dui::WS_CLIPSIBLINGS | dui::WS_CLIPCHILDREN);
}

void CSkinFrame::Notify(dui::TNotifyUI& msg) {
    if (msg.sType != dui::DUI_MSGTYPE_CLICK || msg.pSender == nullptr) {
        WindowImplBase::Notify(msg);
        return;
    }
    const std::string& name = msg.pSender->GetName();
    if (dui::EqualsNoCase(name, "skin_image_btn")) {
        const std::string picture = msg.pSender->GetUserData();
        broadcastPicture(picture);
        settings_.write(kSkinFlagsKey, "1");
        settings_.write(kSkinImageKey, picture);
    } else if (dui::EqualsNoCase(name, "skin_color_btn")) {
        SkinObserver().Broadcast(SkinChangedParam{true, msg.pSender->GetBkColor(), {}});
    } else if (dui::EqualsNoCase(name, "skin_image")) {
        if (auto* tab = FindControl<dui::CTabLayoutUI>("skin_tab")) {
            tab->SelectItem(0);
        }
    } else if (dui::EqualsNoCase(name, "skin_color")) {
        if (auto* tab = FindControl<dui::CTabLayoutUI>("skin_tab")) {
            tab->SelectItem(1);
        }
    } else if (dui::EqualsNoCase(name, "skin_reset")) {
        broadcastPicture(kDefaultBackground);
        settings_.write(kSkinFlagsKey, "0");
        settings_.write(kSkinImageKey, kDefaultBackground);
    } else if (dui::EqualsNoCase(name, "skin_Custom")) {
        // The file dialog takes the focus, which closes the chooser: close
        // it first, then ask, so that no window is deleted under the dialog.
        const dui::HWND mainWindow = mainWindow_;
        Close(dui::IDCANCEL);
        dui::PostTask([mainWindow] { ChooseOwnPicture(mainWindow); });
        return;
    }
    WindowImplBase::Notify(msg);
}

dui::LRESULT CSkinFrame::HandleCustomMessage(dui::UINT msg, dui::WPARAM, dui::LPARAM,
                                             bool& handled) {
    handled = false;
    if (msg == dui::WM_KILLFOCUS) {
        Close(dui::IDCANCEL);
        handled = true;
    }
    return 0;
}

void CSkinFrame::OnFinalMessage(dui::HWND) {
    delete this;
}

} // namespace quellix::ui

#pragma once
// CMainWnd: the main window, the one long-lived object of the program.
//
// It is built from the layout "XML_MAIN"; its CreateControl answers the
// page sub-layouts and the custom controls the layout names; InitWindow
// loads the first language, caches the caption and key buttons, preselects
// the lighting palettes' colour and creates the tray icon.

#include <array>

#include "quellix/dui/tray_icon.h"
#include "quellix/dui/window.h"

namespace quellix::app {

inline constexpr const char* kMainWindowTitle = "Quellix T417 Gaming Mouse pad Driver";
inline constexpr const char* kTrayTip = "Quellix mouse pad T417";
inline constexpr int kMainWindowWidth = 800;
inline constexpr int kMainWindowHeight = 572;
inline constexpr dui::DWORD kMainWindowStyle = 0x96CA0000;
inline constexpr dui::UINT kTrayIconId = 107;
inline constexpr dui::DWORD kPalettePreselect = 0xFF0199CB;
// The message a second instance delivers and the first one answers.
inline constexpr const char* kShowWindowMessage = "MARWENIK_001";

// The main window's handle, set once by InitWindow (any thread may read it).
dui::HWND MainWindowHandle();

// The sub-layout file for a class name of the CreateControl table (names
// compared without regard to case), or nothing.
std::optional<dui::CDuiString> SubLayoutFor(const dui::CDuiString& className);

class CMainWnd : public dui::WindowImplBase {
public:
    static constexpr int kMouseKeyButtons = 20;
    static constexpr int kPadKeyButtons = 15;
    static constexpr int kKeyboardKeyButtons = 126;
    enum CaptionButton { kClose, kMax, kRestore, kMin, kSkin, kCaptionButtonCount };

    CMainWnd();
    ~CMainWnd() override;

    dui::CDuiString GetWindowClassName() const override { return "MainWnd"; }
    dui::UINT GetClassStyle() const override { return dui::UI_CLASSSTYLE_DIALOG; }
    dui::CDuiString GetSkinFile() override { return "XML_MAIN"; }
    void InitWindow() override;
    void Notify(dui::TNotifyUI& msg) override;
    dui::CControlUI* CreateControl(const dui::CDuiString& className) override;
    dui::LRESULT HandleCustomMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam,
                                     bool& handled) override;

    // Brings the window to the front (what the show-window message asks
    // for while no device logic decides otherwise).
    void BringToFront();

    dui::UINT ShowWindowMessageId() const { return showWindowMessage_; }
    dui::CControlUI* CaptionButtonAt(CaptionButton which) const { return captionButtons_[which]; }
    dui::CControlUI* MouseKeyButton(int i) const { return mouseKeys_.at(std::size_t(i)); }
    dui::CControlUI* PadKeyButton(int i) const { return padKeys_.at(std::size_t(i)); }
    dui::CControlUI* KeyboardKeyButton(int i) const { return keyboardKeys_.at(std::size_t(i)); }
    const dui::CTrayIcon& TrayIcon() const { return tray_; }

    // Set by the lighting pages, consumed by timer 2 (keyboard, mouse, pad).
    std::array<int, 3> lightingChanged{};
    // 0 between a suspend and the following resume.
    int framesEnabled = 1;

private:
    void OnTimer(dui::UINT id);

    dui::UINT showWindowMessage_;
    std::array<dui::CControlUI*, kCaptionButtonCount> captionButtons_{};
    std::array<dui::CControlUI*, kMouseKeyButtons> mouseKeys_{};
    std::array<dui::CControlUI*, kPadKeyButtons> padKeys_{};
    std::array<dui::CControlUI*, kKeyboardKeyButtons> keyboardKeys_{};
    dui::CTrayIcon tray_;
};

} // namespace quellix::app

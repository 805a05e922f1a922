#pragma once
// CSkinFrame: the background chooser, a tool window under the main
// window's skin button, built from "skin.xml".  Pictures ("skin_image_btn",
// the picture in the user data) and the default ("skin_reset") are
// remembered in "main.ini"; plain colours ("skin_color_btn") and a picture
// of the user's own ("skin_Custom") last until the program ends.  Every
// choice is broadcast through SkinObserver().  The window closes when it
// loses the focus and deletes itself.

#include <memory>

#include "quellix/dui/window.h"
#include "quellix/ui/shell_settings.h"

namespace quellix::ui {

class CSkinFrame : public dui::WindowImplBase {
public:
    static constexpr dui::UINT kIconId = 128;

    // Opens a chooser for the main window under `skinButton` (a control of
    // the main window); nullptr when "skin.xml" cannot be built.
    static CSkinFrame* Show(dui::WindowImplBase& mainWindow, dui::CControlUI* skinButton,
                            const ShellSettings& settings);
    // Where the chooser goes: its right edge at the button's right edge,
    // its top at the button's bottom (main window client coordinates in,
    // screen coordinates out).
    static dui::POINT PlaceFor(const dui::CWindowWnd& mainWindow, const dui::RECT& button,
                               int chooserWidth);

    dui::CDuiString GetWindowClassName() const override { return "UISkinFrame"; }
    dui::UINT GetClassStyle() const override { return dui::UI_CLASSSTYLE_DIALOG; }
    dui::CDuiString GetSkinFile() override { return "skin.xml"; }
    void InitWindow() override;
    void Notify(dui::TNotifyUI& msg) override;
    dui::LRESULT HandleCustomMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam,
                                     bool& handled) override;

protected:
    void OnFinalMessage(dui::HWND) override;

private:
    CSkinFrame(dui::HWND mainWindow, dui::CControlUI* skinButton, ShellSettings settings)
        : mainWindow_(mainWindow), skinButton_(skinButton), settings_(std::move(settings)) {}

    dui::HWND mainWindow_;
    dui::CControlUI* skinButton_;
    ShellSettings settings_;
};

} // namespace quellix::ui

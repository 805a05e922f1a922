#pragma once
// The about window: not modal, closes with "closebtn"; the link "NetText"
// opens the maker's web site with the desktop's URL handler.

#include "quellix/ui/frameless.h"

namespace quellix::ui {

inline constexpr const char* kMakerUrl = "https://www.quellix.example/";

class Ccopyright : public CFramelessWindow {
public:
    // Opens a new about window owned by `mainWindow`, placed at twice the
    // main window's left edge and half its bottom edge less 80 pixels, but
    // kept inside the work area.  The window deletes itself when closed.
    static Ccopyright* Show(dui::CWindowWnd& mainWindow);
    // Where the about window goes for a main window rectangle.
    static dui::POINT PlaceFor(const dui::RECT& mainWindow, dui::SIZE size,
                               const dui::RECT& workArea);

    dui::CDuiString GetWindowClassName() const override { return "UICOPYRIGHT"; }
    dui::CDuiString GetSkinFile() override { return "CopyRight.xml"; }
    void InitWindow() override;
    void Notify(dui::TNotifyUI& msg) override;

protected:
    void OnFinalMessage(dui::HWND) override;

private:
    dui::CControlUI* link_ = nullptr;
};

} // namespace quellix::ui

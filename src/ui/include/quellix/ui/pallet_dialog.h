#pragma once
// The colour palette dialog: the user picks a colour on the palette or
// from the preset buttons "ms_dpi_color_png_<n>"; "okbtn" confirms (1),
// "closebtn" cancels (2).

#include "quellix/dui/controls.h"
#include "quellix/ui/frameless.h"

namespace quellix::ui {

class CPalletDialog : public CFramelessWindow {
public:
    static constexpr dui::UINT kResultOk = 1;
    static constexpr dui::UINT kResultCancel = 2;
    static constexpr const char* kPresetPrefix = "ms_dpi_color_png_";

    struct Choice {
        dui::UINT result = kResultCancel;
        dui::DWORD colour = 0; // meaningful when result is kResultOk
    };

    // Runs the dialog modally, owned by `owner`, placed 20 pixels left of and
    // below the pointer, starting with `initial` selected.
    static Choice PickColour(dui::HWND owner, dui::DWORD initial);

    explicit CPalletDialog(dui::DWORD initial) : colour_(initial) {}

    dui::CDuiString GetWindowClassName() const override { return "UIPalletDialog"; }
    dui::CDuiString GetSkinFile() override { return "GmPalletDialog.xml"; }
    void InitWindow() override;
    void Notify(dui::TNotifyUI& msg) override;

    // The colour chosen when the dialog closed with 1.
    dui::DWORD GetColour() const { return colour_; }

private:
    void ShowColour(dui::DWORD colour);

    dui::DWORD colour_;
    dui::CColorPaletteUI* palette_ = nullptr;
    dui::CControlUI* okButton_ = nullptr;
    dui::CControlUI* cancelButton_ = nullptr;
};

} // namespace quellix::ui

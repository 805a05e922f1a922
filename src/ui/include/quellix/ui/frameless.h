#pragma once
// The frameless window behaviour shared by the colour palette dialog and
// the about window: no frame of its own (the layout draws everything), and
// the layout's caption band drags the window.

#include "quellix/dui/window.h"

namespace quellix::ui {

// Non-client messages a view sends to ask where a point lies.
inline constexpr dui::UINT WM_NCHITTEST = 0x0084;
inline constexpr dui::LRESULT HTCLIENT = 1;
inline constexpr dui::LRESULT HTCAPTION = 2;

// Packs a screen point into a message parameter (16-bit signed x, y).
dui::LPARAM PointToParam(dui::POINT point);
dui::POINT PointFromParam(dui::LPARAM param);

// Whether a client point lies in the caption band of the window's layout
// (between the caption rectangle's left inset and the client width minus
// its right inset, and between its top and bottom) and is not on a button,
// an option or a text control, so that pressing there drags the window.
bool IsCaptionPoint(const dui::CPaintManagerUI& manager, dui::POINT client);

class CFramelessWindow : public dui::WindowImplBase {
public:
    dui::UINT GetClassStyle() const override { return dui::UI_CLASSSTYLE_DIALOG; }
    // WM_NCHITTEST answers HTCAPTION or HTCLIENT; the system "close" command
    // sends the window a close message.
    dui::LRESULT HandleCustomMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam,
                                     bool& handled) override;
};

} // namespace quellix::ui

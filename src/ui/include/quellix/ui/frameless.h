#pragma once
// The frameless window behaviour shared by the colour palette dialog and
// the about window: no frame of its own (the layout draws everything), and
// the layout's caption band drags the window.

#include "quellix/dui/hit_test.h"
#include "quellix/dui/window.h"

namespace quellix::ui {

using dui::HTCAPTION;
using dui::HTCLIENT;
using dui::IsCaptionPoint;
using dui::PointFromParam;
using dui::PointToParam;
using dui::WM_NCHITTEST;

class CFramelessWindow : public dui::WindowImplBase {
public:
    dui::UINT GetClassStyle() const override { return dui::UI_CLASSSTYLE_DIALOG; }
    // WM_NCHITTEST answers HTCAPTION or HTCLIENT; the system "close" command
    // sends the window a close message.
    dui::LRESULT HandleCustomMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam,
                                     bool& handled) override;
};

} // namespace quellix::ui

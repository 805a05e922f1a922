#include "quellix/ui/custom_controls.h"

namespace quellix::ui {

Rect toRect(const dui::RECT& rc) {
    return {rc.left, rc.top, rc.right, rc.bottom};
}

void CCircleProgressUI::SetForeColor(dui::DWORD color) {
    if (foreColor_ != color) {
        foreColor_ = color;
        Invalidate();
    }
}

void CCircleProgressUI::SetAttribute(const dui::CDuiString& name, const dui::CDuiString& value) {
    if (dui::EqualsNoCase(name, "forecolor")) {
        SetForeColor(dui::ParseColor(value));
    }
    CProgressUI::SetAttribute(name, value);
}

void CCircleProgressUI::paint(ICanvas& canvas, const Rect&) {
    paintCircleProgress(canvas, toRect(GetPos()), GetMinValue(), GetMaxValue(), GetValue(),
                        GetBkColor(), GetForeColor());
}

} // namespace quellix::ui

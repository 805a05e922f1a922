#include "quellix/ui/frameless.h"

#include <cstdint>

#include "quellix/dui/controls.h"
#include "quellix/dui/paint_manager.h"

namespace quellix::ui {

dui::LPARAM PointToParam(dui::POINT point) {
    const auto x = std::uint16_t(std::int16_t(point.x));
    const auto y = std::uint16_t(std::int16_t(point.y));
    return dui::LPARAM(std::uint32_t(x) | (std::uint32_t(y) << 16));
}

dui::POINT PointFromParam(dui::LPARAM param) {
    const auto bits = std::uint32_t(param);
    return {std::int16_t(bits & 0xFFFF), std::int16_t(bits >> 16)};
}

bool IsCaptionPoint(const dui::CPaintManagerUI& manager, dui::POINT client) {
    const dui::RECT caption = manager.GetCaptionRect();
    const int width = manager.GetClientSize().cx;
    const bool inBand = client.x >= caption.left && client.x < width - caption.right &&
                        client.y >= caption.top && client.y < caption.bottom;
    if (!inBand) {
        return false;
    }
    dui::CControlUI* control = manager.FindControl(client);
    if (control == nullptr) {
        return true;
    }
    const bool pressable = dynamic_cast<dui::CButtonUI*>(control) != nullptr ||
                           dynamic_cast<dui::CTextUI*>(control) != nullptr;
    return !pressable;
}

dui::LRESULT CFramelessWindow::HandleCustomMessage(dui::UINT msg, dui::WPARAM wParam,
                                                   dui::LPARAM lParam, bool& handled) {
    if (msg == WM_NCHITTEST) {
        handled = true;
        const dui::POINT screen = PointFromParam(lParam);
        const dui::RECT window = GetWindowRect();
        const dui::POINT client{screen.x - window.left, screen.y - window.top};
        return IsCaptionPoint(m_pm, client) ? HTCAPTION : HTCLIENT;
    }
    if (msg == dui::WM_SYSCOMMAND && wParam == dui::SC_CLOSE) {
        handled = true;
        SendMessage(dui::WM_CLOSE);
        return 0;
    }
    return WindowImplBase::HandleCustomMessage(msg, wParam, lParam, handled);
}

} // namespace quellix::ui

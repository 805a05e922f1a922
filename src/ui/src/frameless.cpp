#include "quellix/ui/frameless.h"

namespace quellix::ui {

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

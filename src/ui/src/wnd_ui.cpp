#include "quellix/dui/paint_manager.h"
#include "quellix/dui/window.h"
#include "quellix/ui/custom_controls.h"

namespace quellix::ui {

void CWndUI::Attach(IHostedWindow* window) {
    hosted_ = window;
    FollowControl();
}

void CWndUI::SetPos(dui::RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    FollowControl();
}

void CWndUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    FollowControl();
}

void CWndUI::SetInternVisible(bool visible) {
    CControlUI::SetInternVisible(visible);
    FollowControl();
}

void CWndUI::FollowControl() {
    if (hosted_ == nullptr) {
        return;
    }
    if (dui::CPaintManagerUI* manager = GetManager()) {
        dui::RECT target = GetPos();
        const dui::HWND window = manager->GetPaintWindowHandle();
        if (!hosted_->isChildOf(window) && manager->GetPaintWindow() != nullptr) {
            const dui::RECT screen = manager->GetPaintWindow()->GetWindowRect();
            target = {target.left + screen.left, target.top + screen.top,
                      target.right + screen.left, target.bottom + screen.top};
        }
        hosted_->place(target);
    }
    hosted_->setShown(IsVisible());
}

} // namespace quellix::ui

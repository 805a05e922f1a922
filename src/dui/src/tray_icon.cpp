#include "quellix/dui/tray_icon.h"

#include "quellix/dui/toolkit.h"
#include "quellix/dui/window.h"

namespace quellix::dui {

CTrayIcon::~CTrayIcon() {
    DeleteTrayIcon();
}

void CTrayIcon::CreateTrayIcon(HWND owner, UINT iconId, const CDuiString& tip, UINT message) {
    owner_ = owner;
    iconId_ = iconId;
    tip_ = tip;
    message_ = message;
    created_ = true;
    visible_ = true;
    publish();
}

void CTrayIcon::DeleteTrayIcon() {
    if (!created_)
        return;
    created_ = false;
    visible_ = false;
    if (Toolkit* toolkit = Toolkit::current())
        toolkit->backend().trayIconChanged(*this, true);
}

bool CTrayIcon::SetTooltipText(const CDuiString& tip) {
    if (!created_)
        return false;
    tip_ = tip;
    publish();
    return true;
}

void CTrayIcon::SetShowIcon(bool show) {
    if (!created_)
        return;
    visible_ = show;
    publish();
}

void CTrayIcon::OnUserClick(UINT mouseMessage) const {
    if (created_ && visible_)
        PostMessage(owner_, message_, iconId_, static_cast<LPARAM>(mouseMessage));
}

void CTrayIcon::publish() {
    if (Toolkit* toolkit = Toolkit::current())
        toolkit->backend().trayIconChanged(*this, false);
}

} // namespace quellix::dui

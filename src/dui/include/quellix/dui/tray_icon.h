#pragma once
// The notification-area icon of a window.  Clicks reach the owner window as
// its callback message (1025 by default) with wParam = icon id and lParam =
// the mouse message (WM_LBUTTONUP, WM_RBUTTONUP, ...).

#include "quellix/dui/types.h"

namespace quellix::dui {

class CTrayIcon {
public:
    CTrayIcon() = default;
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    void CreateTrayIcon(HWND owner, UINT iconId, const CDuiString& tip,
                        UINT message = WM_TRAYICON_MESSAGE);
    void DeleteTrayIcon();
    bool SetTooltipText(const CDuiString& tip);
    CDuiString GetTooltipText() const { return tip_; }
    bool IsVisible() const { return visible_; }
    void SetShowIcon(bool show);
    HWND GetOwner() const { return owner_; }
    UINT GetIconId() const { return iconId_; }
    UINT GetMessage() const { return message_; }

    // The view calls this when the user clicked the icon: posts the callback
    // message to the owner.
    void OnUserClick(UINT mouseMessage) const;

private:
    void publish();
    HWND owner_ = kNullWindow;
    UINT iconId_ = 0;
    UINT message_ = WM_TRAYICON_MESSAGE;
    CDuiString tip_;
    bool created_ = false;
    bool visible_ = false;
};

} // namespace quellix::dui

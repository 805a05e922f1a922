#pragma once
// Notifications: what a control reports to its window's listeners.

#include "quellix/dui/types.h"

namespace quellix::dui {

class CControlUI;

struct TNotifyUI {
    CDuiString sType;       // "click", "selectchanged", ...
    CDuiString sVirtualWnd; // unused; kept for handlers written against it
    CControlUI* pSender = nullptr;
    std::int64_t dwTimestamp = 0;
    POINT ptMouse{};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void Notify(TNotifyUI& msg) = 0;
};

} // namespace quellix::dui

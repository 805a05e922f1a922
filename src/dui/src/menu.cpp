#include "quellix/dui/menu.h"

#include "quellix/dui/toolkit.h"

#include <algorithm>

namespace quellix::dui {

namespace {
constexpr int kDefaultMenuWidth = 150;
constexpr int kDefaultElementHeight = 30;
} // namespace

const MenuCmd* MenuCmdFromMessage(WPARAM wParam, LPARAM) {
    return reinterpret_cast<const MenuCmd*>(wParam);
}

void CMenuElementUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_BUTTONDOWN) {
        if (!IsEnabled() || GetManager() == nullptr)
            return;
        if (auto* menu = dynamic_cast<CMenuWnd*>(GetManager()->GetPaintWindow()))
            menu->Choose(*this);
        return;
    }
    if (event.Type == UIEVENT_BUTTONUP || event.Type == UIEVENT_MOUSEMOVE)
        return;
    CListContainerElementUI::DoEvent(event);
}

SIZE CMenuElementUI::EstimateSize(SIZE) const {
    return {fixedWidth_, fixedHeight_ > 0 ? fixedHeight_ : kDefaultElementHeight};
}

CMenuWnd* CMenuWnd::CreateMenu(CMenuElementUI*, const CDuiString& xml, POINT point,
                               CPaintManagerUI* ownerManager, void*, DWORD alignment) {
    auto* menu = new CMenuWnd();
    menu->xml_ = xml;
    menu->owner_ = ownerManager != nullptr ? ownerManager->GetPaintWindowHandle() : kNullWindow;
    menu->point_ = point;
    menu->alignment_ = alignment;
    if (menu->Create(menu->owner_, "", WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                     point.x, point.y, kDefaultMenuWidth, kDefaultElementHeight) == kNullWindow) {
        delete menu;
        return nullptr;
    }
    menu->ResizeMenu();
    menu->ShowWindow(true);
    return menu;
}

void CMenuWnd::DestroyMenu() {
    std::vector<HWND> open;
    for (CMenuWnd* menu : OpenMenus())
        open.push_back(menu->GetHWND());
    for (HWND handle : open)
        if (auto* menu = dynamic_cast<CMenuWnd*>(FromHandle(handle)))
            menu->DestroyWindow();
}

std::vector<CMenuWnd*> CMenuWnd::OpenMenus() {
    std::vector<CMenuWnd*> menus;
    if (Toolkit* toolkit = Toolkit::current())
        for (CWindowWnd* window : toolkit->windows())
            if (auto* menu = dynamic_cast<CMenuWnd*>(window))
                menus.push_back(menu);
    return menus;
}

CMenuUI* CMenuWnd::GetMenuUI() const {
    CControlUI* root = m_pm.GetRoot();
    if (auto* menu = dynamic_cast<CMenuUI*>(root))
        return menu;
    CControlUI* found =
        root != nullptr
            ? root->FindControl([](CControlUI* c) { return dynamic_cast<CMenuUI*>(c) != nullptr; },
                                UIFIND_ALL)
            : nullptr;
    return dynamic_cast<CMenuUI*>(found);
}

void CMenuWnd::ResizeMenu() {
    CMenuUI* menu = GetMenuUI();
    if (menu == nullptr)
        return;
    int width = menu->GetFixedWidth() > 0 ? menu->GetFixedWidth() : kDefaultMenuWidth;
    if (m_pm.GetInitSize().cx > 0)
        width = m_pm.GetInitSize().cx;
    RECT inset = menu->GetInset();
    int height = inset.top + inset.bottom;
    int shown = 0;
    for (int i = 0; i < menu->GetCount(); ++i) {
        CControlUI* item = menu->GetItemAt(i);
        if (!item->IsOwnVisible())
            continue;
        RECT pad = item->GetPadding();
        height += item->EstimateSize({width, 0}).cy + pad.top + pad.bottom;
        ++shown;
    }
    if (shown > 1)
        height += menu->GetChildPadding() * (shown - 1);
    int x = point_.x;
    int y = point_.y;
    if (alignment_ & eMenuAlignment_Right)
        x -= width;
    if (alignment_ & eMenuAlignment_Bottom)
        y -= height;
    MoveWindow(RECT{x, y, x + width, y + height});
    m_pm.UpdateLayout();
}

void CMenuWnd::Choose(CMenuElementUI& element) {
    MenuCmd command{element.GetName(), element.GetUserData(), element.GetText(), false};
    const HWND owner = owner_;
    // The command lives in the posted task and dies after the owner's handler.
    PostTask([owner, command] {
        if (CWindowWnd* window = FromHandle(owner))
            window->HandleMessage(WM_MENUCLICK, reinterpret_cast<WPARAM>(&command), 0);
    });
    Close(IDOK);
}

LRESULT CMenuWnd::HandleCustomMessage(UINT msg, WPARAM, LPARAM, bool& handled) {
    handled = false;
    // A menu closes when it loses the focus (a click elsewhere).
    if (msg == WM_KILLFOCUS)
        Close(IDCANCEL);
    return 0;
}

void CMenuWnd::OnFinalMessage(HWND) {
    delete this;
}

} // namespace quellix::dui

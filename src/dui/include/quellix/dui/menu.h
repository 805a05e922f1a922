#pragma once
// Menus: a popup window built from a layout such as
//   <Menu><MenuElement name="lan_en" text="menu_lan_en" userdata="0"/></Menu>
// at a point.  Choosing an element closes the menu and posts message 1145
// (WM_MENUCLICK) to the owner window; while handling it the owner reads the
// item through MenuCmdFromMessage (the toolkit frees it afterwards).

#include "quellix/dui/list.h"
#include "quellix/dui/window.h"

namespace quellix::dui {

struct MenuCmd {
    CDuiString szName;
    CDuiString szUserData;
    CDuiString szText;
    bool bChecked = false;
};

// The command carried by a WM_MENUCLICK message (valid during its handling).
const MenuCmd* MenuCmdFromMessage(WPARAM wParam, LPARAM lParam);

class CMenuElementUI : public CListContainerElementUI {
public:
    CDuiString GetClass() const override { return "MenuElement"; }
    void DoEvent(TEventUI& event) override;
    SIZE EstimateSize(SIZE available) const override;
};

class CMenuUI : public CListUI {
public:
    CDuiString GetClass() const override { return "Menu"; }
};

// Alignment flags: which corner of the menu lies at the point.
enum MenuAlignment : DWORD {
    eMenuAlignment_Left = 1 << 1,
    eMenuAlignment_Top = 1 << 2,
    eMenuAlignment_Right = 1 << 3,
    eMenuAlignment_Bottom = 1 << 4,
};

class CMenuWnd : public WindowImplBase {
public:
    // Builds the menu from `xml` and shows it at `point` (screen); the
    // owner window gets WM_MENUCLICK.  nullptr when the layout failed.  The
    // menu deletes itself when it closes.
    static CMenuWnd* CreateMenu(CMenuElementUI* ownerElement, const CDuiString& xml, POINT point,
                                CPaintManagerUI* ownerManager, void* menuCheck = nullptr,
                                DWORD alignment = eMenuAlignment_Left | eMenuAlignment_Top);
    // Closes every open menu.
    static void DestroyMenu();
    // The menu windows now open (for views and tests).
    static std::vector<CMenuWnd*> OpenMenus();

    CDuiString GetWindowClassName() const override { return "DuiMenuWnd"; }
    CDuiString GetSkinFile() override { return xml_; }
    CMenuUI* GetMenuUI() const;
    // Fits the window to the menu's elements.
    void ResizeMenu();
    HWND GetOwnerHWND() const { return owner_; }
    // The user chose an element: posts the command and closes the menu.
    void Choose(CMenuElementUI& element);

    LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

protected:
    void OnFinalMessage(HWND) override;

private:
    CMenuWnd() = default;
    CDuiString xml_;
    HWND owner_ = kNullWindow;
    POINT point_{};
    DWORD alignment_ = 0;
};

} // namespace quellix::dui

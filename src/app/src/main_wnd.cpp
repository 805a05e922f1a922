#include "quellix/app/main_wnd.h"

#include <atomic>
#include <string_view>

#include "quellix/dui/builder.h"
#include "quellix/dui/container.h"
#include "quellix/dui/menu.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/platform/debug.h"
#include "quellix/ui/custom_controls.h"

namespace quellix::app {

namespace {

std::atomic<dui::HWND> g_mainWindow{dui::kNullWindow};

struct SubLayout {
    std::string_view className;
    std::string_view file;
};

// The page sub-layouts a layout names by class.
constexpr SubLayout kSubLayouts[] = {
    {"kb_Key_UI", "keyboard_key.xml"},     {"kb_Deng_UI", "keyboard_deng.xml"},
    {"kb_Macro_UI", "keyboard_macro.xml"}, {"MS_Deng_UI", "Mouse_deng.xml"},
    {"MS_Macro_UI", "Mouse_macro.xml"},    {"MS_Key_UI", "Mouse_key.xml"},
    {"MP_deng_UI", "MousePad_deng.xml"},   {"MS_DPI_UI", "Mouse_DPI.xml"},
    {"MS_CURSOR_UI", "Mouse_cursor.xml"},  {"kb_CURSOR_UI", "Mouse_cursor.xml"},
};

constexpr const char* kCaptionButtonNames[] = {"closebtn", "maxbtn", "restorebtn", "minbtn",
                                               "skinbtn"};
constexpr const char* kLightingPalettes[] = {"ms_deng_Color_Pallet", "mp_deng_Color_Pallet",
                                             "kb_deng_Color_Pallet"};

// The main page selectors and the page of "tab_switch" each shows.
struct PageTab {
    std::string_view option;
    int page;
};
constexpr PageTab kPageTabs[] = {
    {"kb_tab", 0}, {"ms_tab", 1}, {"mp_tab", 2}, {"ani_tab", 3}, {"split_tab", 4},
};

template <std::size_t N>
void cacheNumbered(dui::CPaintManagerUI& pm, const char* prefix,
                   std::array<dui::CControlUI*, N>& cache) {
    for (std::size_t i = 0; i < N; ++i) {
        cache[i] = pm.FindControl(prefix + std::to_string(i));
    }
}

} // namespace

dui::HWND MainWindowHandle() {
    return g_mainWindow.load();
}

std::optional<dui::CDuiString> SubLayoutFor(const dui::CDuiString& className) {
    for (const auto& entry : kSubLayouts) {
        if (dui::EqualsNoCase(className, entry.className)) {
            return dui::CDuiString(entry.file);
        }
    }
    return std::nullopt;
}

CMainWnd::CMainWnd() : showWindowMessage_(dui::RegisterWindowMessage(kShowWindowMessage)) {}

CMainWnd::~CMainWnd() {
    dui::CMenuWnd::DestroyMenu();
    tray_.DeleteTrayIcon();
    if (g_mainWindow.load() == GetHWND()) {
        g_mainWindow.store(dui::kNullWindow);
    }
}

dui::CControlUI* CMainWnd::CreateControl(const dui::CDuiString& className) {
    if (const auto file = SubLayoutFor(className)) {
        // Built into this window's paint manager, without a further callback.
        dui::CDialogBuilder builder;
        dui::CControlUI* page = builder.Create(*file, {}, nullptr, &m_pm);
        if (page == nullptr) {
            platform::debugOutput("sub-layout " + *file + ": " + builder.GetLastErrorMessage());
        }
        return page;
    }
    if (dui::EqualsNoCase(className, "CircleProgress")) {
        return new ui::CCircleProgressUI;
    }
    if (dui::EqualsNoCase(className, "DeviceKeyButton")) {
        return new ui::CDeviceKeyButtonUI;
    }
    return nullptr;
}

void CMainWnd::InitWindow() {
    platform::debugOutput("InitWindow");
    dui::CResourceManager* resources = dui::CResourceManager::GetInstance();
    resources->SetTextQueryInterface(this);
    if (!resources->LoadLanguage("lan_cn.xml")) {
        platform::debugOutput("lan_cn.xml: " + resources->GetLastError());
    }

    for (int i = 0; i < kCaptionButtonCount; ++i) {
        captionButtons_[std::size_t(i)] = FindControl(kCaptionButtonNames[i]);
    }
    cacheNumbered(m_pm, "ms_dkey_", mouseKeys_);
    cacheNumbered(m_pm, "mp_dkey_", padKeys_);
    cacheNumbered(m_pm, "kb_dkey_", keyboardKeys_);

    g_mainWindow.store(GetHWND());

    for (const char* name : kLightingPalettes) {
        if (auto* palette = FindControl<dui::CColorPaletteUI>(name)) {
            palette->SetSelectColor(kPalettePreselect);
        }
    }

    tray_.CreateTrayIcon(GetHWND(), kTrayIconId, kTrayTip);
    dui::SetProcessDPIAwareness(1);
}

void CMainWnd::BringToFront() {
    SysCommand(dui::SC_RESTORE);
    SetTopmost(true);
    SetTopmost(false);
}

void CMainWnd::Notify(dui::TNotifyUI& msg) {
    if (msg.pSender != nullptr) {
        platform::debugOutput(msg.sType);
        platform::debugOutput(msg.pSender->GetName());
    }
    if (msg.sType == dui::DUI_MSGTYPE_CLICK && msg.pSender != nullptr) {
        if (dui::EqualsNoCase(msg.pSender->GetName(), "closebtn")) {
            DestroyWindow();
            return;
        }
        if (msg.pSender == captionButtons_[kMin]) {
            SysCommand(dui::SC_MINIMIZE);
            return;
        }
        if (msg.pSender == captionButtons_[kMax]) {
            SysCommand(dui::SC_MAXIMIZE);
            return;
        }
        if (msg.pSender == captionButtons_[kRestore]) {
            SysCommand(dui::SC_RESTORE);
            return;
        }
    } else if (msg.sType == dui::DUI_MSGTYPE_SELECTCHANGED && msg.pSender != nullptr) {
        for (const auto& tab : kPageTabs) {
            if (msg.pSender->GetName() == tab.option) {
                if (auto* pages = FindControl<dui::CTabLayoutUI>("tab_switch")) {
                    pages->SelectItem(tab.page);
                }
                break;
            }
        }
    }
    WindowImplBase::Notify(msg);
}

dui::LRESULT CMainWnd::HandleCustomMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam,
                                           bool& handled) {
    handled = false;
    if (msg == showWindowMessage_) {
        platform::debugOutputf("软件标示 %u，%lxd%lxd", msg, static_cast<unsigned long>(wParam),
                               static_cast<unsigned long>(lParam));
        BringToFront();
        handled = true;
        return 0;
    }
    switch (msg) {
    case dui::WM_DESTROY:
        // Left unhandled so that the default destroy handling runs too.
        tray_.DeleteTrayIcon();
        dui::PostQuitMessage(0);
        return 0;
    case dui::WM_GETMINMAXINFO:
        handled = true;
        return 0;
    case dui::WM_TIMER:
        OnTimer(dui::UINT(wParam));
        return 0;
    case dui::WM_TRAYICON_MESSAGE:
        if (lParam == dui::WM_LBUTTONUP) {
            BringToFront();
        }
        return 0;
    default:
        return 0;
    }
}

void CMainWnd::OnTimer(dui::UINT) {}

} // namespace quellix::app

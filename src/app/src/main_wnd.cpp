#include "quellix/app/main_wnd.h"

#include <atomic>
#include <string_view>

#include "quellix/dui/builder.h"
#include "quellix/dui/container.h"
#include "quellix/dui/menu.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/dui/toolkit.h"
#include "quellix/lighting/state.h"
#include "quellix/platform/debug.h"
#include "quellix/ui/custom_controls.h"
#include "quellix/ui/msg_wnd.h"
#include "quellix/ui/shell_settings.h"

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

// Stands in for a feature whose page is not built yet.
class PendingPage final : public ui::FeaturePage {
public:
    explicit PendingPage(ui::Feature feature) : feature_(feature) {}
    void OnNotify(dui::TNotifyUI& msg) override {
        platform::debugOutput(std::string(ui::featureName(feature_)) + ": not built yet (" +
                              msg.sType + " " +
                              (msg.pSender ? msg.pSender->GetName() : std::string()) + ")");
    }
    bool OnMessage(dui::UINT msg, dui::WPARAM, dui::LPARAM) override {
        platform::debugOutputf("%s: not built yet (message %u)",
                               std::string(ui::featureName(feature_)).c_str(), msg);
        return true;
    }
    void Refresh(int kind) override {
        platform::debugOutputf("%s: not built yet (refresh %d)",
                               std::string(ui::featureName(feature_)).c_str(), kind);
    }

private:
    ui::Feature feature_;
};

CMainWnd::CMainWnd(std::unique_ptr<DeviceConfigCalls> calls)
    : link_(std::make_shared<DeviceLink>(std::move(calls))),
      showWindowMessage_(dui::RegisterWindowMessage(kShowWindowMessage)) {
    for (std::size_t i = 0; i < ui::kFeatureCount; ++i) {
        pages_[i] = std::make_unique<PendingPage>(static_cast<ui::Feature>(i));
    }
}

CMainWnd::~CMainWnd() {
    // Normally the destroy message already stopped the workers.
    if (workers_.started()) {
        workers_.stopAll(std::chrono::milliseconds(kShutdownWaitMs));
    }
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

ui::FeaturePage& CMainWnd::Page(ui::Feature feature) {
    return *pages_[static_cast<std::size_t>(feature)];
}

void CMainWnd::SetPage(ui::Feature feature, std::unique_ptr<ui::FeaturePage> page) {
    if (page) {
        pages_[static_cast<std::size_t>(feature)] = std::move(page);
    }
}

void CMainWnd::BringToFront() {
    ShowWindow(true);
    SysCommand(dui::SC_RESTORE);
    SetTopmost(true);
    SetTopmost(false);
}

void CMainWnd::Notify(dui::TNotifyUI& msg) {
    if (msg.pSender != nullptr) {
        platform::debugOutput(msg.sType);
        platform::debugOutput(msg.pSender->GetName());
    }
    if (msg.sType == dui::DUI_MSGTYPE_WINDOWINIT) {
        StartUp();
    } else if (msg.sType == dui::DUI_MSGTYPE_CLICK && msg.pSender != nullptr) {
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
        if (msg.pSender == captionButtons_[kSkin] ||
            dui::EqualsNoCase(msg.pSender->GetName(), "menubtn")) {
            Page(ui::Feature::SkinAndMenu).OnNotify(msg);
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
    if (shutDown_) {
        // Messages that arrive while the workers are being stopped get the
        // default handling only.
        return 0;
    }
    if (msg == showWindowMessage_) {
        platform::debugOutputf("软件标示 %u，%lxd%lxd", msg, static_cast<unsigned long>(wParam),
                               static_cast<unsigned long>(lParam));
        OnShowWindowMessage(lParam);
        handled = true;
        return 0;
    }
    switch (msg) {
    case dui::WM_DESTROY:
        // Left unhandled so that the default destroy handling runs too.
        tray_.DeleteTrayIcon();
        ShutDown();
        return 0;
    case dui::WM_GETMINMAXINFO:
        handled = true;
        return 0;
    case dui::WM_TIMER:
        OnTimer(dui::UINT(wParam));
        return 0;
    case dui::WM_TRAYICON_MESSAGE:
        if (lParam == dui::WM_LBUTTONUP) {
            OnTrayClick();
        } else if (lParam == dui::WM_RBUTTONUP) {
            Page(ui::Feature::SkinAndMenu).OnMessage(msg, wParam, lParam);
        }
        return 0;
    case dui::WM_MENUCLICK:
        Page(ui::Feature::SkinAndMenu).OnMessage(msg, wParam, lParam);
        handled = true;
        return 0;
    case kMsgLastDeviceRemoved:
        OnLastDeviceRemoved();
        return 0;
    case kMsgShowProgress:
        if (auto* progress = FindControl("setting_progress")) {
            progress->SetVisible(true);
        }
        return 0;
    case kMsgHideProgressSoon:
        SetTimer(kTimerHideProgress, 1000);
        return 0;
    case dui::WM_ACTIVATE:
        platform::debugOutputf("%u%lxd%lxd", msg, static_cast<unsigned long>(wParam),
                               static_cast<unsigned long>(lParam));
        return 0;
    case dui::WM_POWERBROADCAST:
        if (wParam == dui::PBT_APMRESUMEAUTOMATIC) {
            framesEnabled = 1;
        } else if (wParam == dui::PBT_APMSUSPEND) {
            framesEnabled = 0;
        }
        return 0;
    case dui::WM_DPICHANGED: {
        m_pm.SetDPI(int(wParam & 0xFFFF));
        m_pm.ResetDPIAssets();
        if (lParam != 0) {
            MoveWindow(*reinterpret_cast<const dui::RECT*>(lParam));
        }
        if (auto* root = m_pm.GetRoot()) {
            root->NeedUpdate();
        }
        return 0;
    }
    default:
        break;
    }
    RouteFeatureMessage(msg, wParam, lParam);
    return 0;
}

bool CMainWnd::RouteFeatureMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam) {
    struct FeatureMessage {
        dui::UINT first;
        dui::UINT last;
        ui::Feature feature;
    };
    // Re-reads the devices ask for, and captured input.
    static constexpr FeatureMessage kFeatureMessages[] = {
        {kMsgMouseImageChanged, kMsgMouseSlotChanged, ui::Feature::MouseDevice},
        {kMsgPadImageChanged, kMsgPadResync, ui::Feature::PadDevice},
        {2563, 2564, ui::Feature::PadDevice}, // key button colour and alpha
        {kMsgKeyboardImageChanged, kMsgKeyboardDefaultKeys, ui::Feature::KeyboardDevice},
        {2049, 2052, ui::Feature::InputCapture},
        {2064, 2067, ui::Feature::InputCapture},
    };
    for (const auto& entry : kFeatureMessages) {
        if (msg >= entry.first && msg <= entry.last) {
            Page(entry.feature).OnMessage(msg, wParam, lParam);
            return true;
        }
    }
    return false;
}

bool CMainWnd::HideWithoutDevice(bool& boxOpen) {
    if (link_->anyConnected()) {
        return false;
    }
    ShowWindow(false);
    if (!boxOpen) {
        boxOpen = true;
        ui::CMsgWnd::MessageBox(GetHWND(), "message_text_1");
        boxOpen = false;
    }
    return true;
}

void CMainWnd::OnShowWindowMessage(dui::LPARAM from) {
    if (startHidden_ && from == kShowRequestFromDetection) {
        return;
    }
    if (!HideWithoutDevice(showRuleBoxOpen_)) {
        BringToFront();
    }
}

void CMainWnd::OnTrayClick() {
    if (HideWithoutDevice(trayRuleBoxOpen_)) {
        return;
    }
    BringToFront();
    m_pm.Invalidate();
    m_pm.NeedUpdate();
    SetTimer(kTimerConnectedRepaint, 10);
}

void CMainWnd::OnLastDeviceRemoved() {
    platform::debugOutput("last device removed: message_text_20");
    if (auto* tab = FindControl("ms_deng_Op_tab")) {
        tab->SetFocus();
    }
    ui::CMsgWnd::ShowAutoClose(GetHWND());
    ShowWindow(false);
}

void CMainWnd::OnTimer(dui::UINT id) {
    switch (id) {
    case kTimerHideProgress:
        KillTimer(id);
        if (auto* progress = FindControl("setting_progress")) {
            progress->SetVisible(false);
        }
        break;
    case kTimerEndEditedSync:
        // A kind whose lighting was edited leaves the synchronised effect.
        for (device::DeviceKind kind : device::kAllDeviceKinds) {
            auto& changed = lightingChanged[device::kindIndex(kind)];
            if (changed.load() != 0) {
                Session(kind).syncActive = 0;
                changed = 0;
                if (kind == device::DeviceKind::Keyboard) {
                    platform::debugOutput("一切的一切");
                }
            }
        }
        break;
    case kTimerConnectedRepaint:
        m_pm.Invalidate();
        m_pm.NeedUpdate();
        KillTimer(id);
        platform::debugOutput("1234567890");
        break;
    case kTimerRepaint:
        KillTimer(id);
        // A hidden or minimised window has nothing to show.
        if (IsWindowVisible() && !IsMinimized()) {
            m_pm.Invalidate();
        }
        SetTimer(kTimerRepaint, 50);
        break;
    case kTimerReadKeyboard:
        KillTimer(id);
        link_->calls().readKeyboardImage(Session(device::DeviceKind::Keyboard));
        Page(ui::Feature::Lighting).Refresh(ui::kKeyboardPage);
        break;
    case kTimerReadPad:
        KillTimer(id);
        link_->calls().readPadImage(Session(device::DeviceKind::MousePad));
        Page(ui::Feature::PadDevice).Refresh(ui::kPadPage);
        break;
    default:
        break;
    }
}

void CMainWnd::StartUp() {
    if (startedUp_) {
        return;
    }
    startedUp_ = true;
    // The remembered background first, then the pages' lists (macros,
    // pointer patterns, profiles).
    StartUpPages(ui::StartUpStep::Remembered);
    for (device::DeviceKind kind : device::kAllDeviceKinds) {
        Session(kind).setIdentity(device::identityOf(kind));
        Session(kind).connected = 0;
    }
    StartUpPages(ui::StartUpStep::MachineNotes);
    ShowWindow(false);
    link_->attach(GetHWND(), showWindowMessage_);
    StartWorkers();
    SetTimer(kTimerEndEditedSync, 100);
    SetTimer(kTimerRepaint, 100);
    SetTimer(kTimerReadKeyboard, 500);
    SetTimer(kTimerReadPad, 500);
    StartUpPages(ui::StartUpStep::WorkersRunning);
}

void CMainWnd::StartUpPages(ui::StartUpStep step) {
    for (auto& page : pages_) {
        page->StartUp(step);
    }
}

std::optional<dui::CDuiString> CMainWnd::QueryControlText(const dui::CDuiString& key,
                                                          const dui::CDuiString&) {
    return ui::QueryShellText(key, dui::CResourceManager::GetInstance()->GetLanguage());
}

void CMainWnd::StartWorkers() {
    using device::DeviceKind;
    std::shared_ptr<DeviceLink> link = link_;
    const DeviceWorkerTiming timing = timing_;
    auto detection = [link, timing](DeviceKind kind) {
        return [link, timing, kind](platform::Event& stop) {
            device::runDetection(kind, link->sessionPointers(), *link, stop, timing.detection);
        };
    };
    auto listener = [link, timing](const device::ListenerSpec& spec, std::size_t record,
                                   void (DeviceLink::*announce)(std::uint16_t)) {
        return [link, timing, &spec, record, announce](platform::Event& stop) {
            device::HidDeviceRecord& hid = link->listenerRecords[record];
            device::runListener(
                spec, hid, [&](std::uint16_t usage) { ((*link).*announce)(usage); }, stop,
                timing.listener);
        };
    };
    // Lighting animation and the profile watchers come with their features;
    // until then their places in the start order hold a worker that only
    // waits to be stopped.
    auto pending = [](std::string_view name) {
        return [name](platform::Event& stop) {
            platform::debugOutput(std::string(name) + ": not built yet");
            stop.wait(platform::kInfinite);
        };
    };
    std::vector<WorkerEntry> entries = {
        {"keyboard detection", detection(DeviceKind::Keyboard)},
        {"mouse detection", detection(DeviceKind::Mouse)},
        {"mouse pad detection", detection(DeviceKind::MousePad)},
        {"mouse listener", listener(device::kMouseListener, 0, &DeviceLink::mouseAnnounced)},
        {"keyboard listener",
         listener(device::kKeyboardListener, 1, &DeviceLink::keyboardAnnounced)},
        {"keyboard lighting", pending("keyboard lighting")},
        {"mouse lighting", pending("mouse lighting")},
        {"mouse pad lighting", pending("mouse pad lighting")},
        {"synchronised lighting", pending("synchronised lighting")},
        {"keyboard lighting profile watcher", pending("keyboard lighting profile watcher")},
        {"keyboard key profile watcher", pending("keyboard key profile watcher")},
        {"mouse device profile watcher", pending("mouse device profile watcher")},
        {"mouse key profile watcher", pending("mouse key profile watcher")},
        {"mouse pad lighting profile watcher", pending("mouse pad lighting profile watcher")},
    };
    workers_.start(std::move(entries), std::chrono::milliseconds(20));
}

void CMainWnd::ShutDown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    platform::debugOutput("退出测试");
    ShowWindow(false);
    if (workers_.started()) {
        // A listener may be blocked sending its message: answer such
        // messages (they do nothing once the shutdown began) until every
        // worker has seen its stop event.
        const auto result = workers_.stopAll(std::chrono::milliseconds(kShutdownWaitMs), [] {
            dui::Toolkit::current()->dispatcher().runPending();
        });
        platform::debugOutput(shutdownWaitTrace(result));
    }
    dui::PostQuitMessage(0);
}

} // namespace quellix::app

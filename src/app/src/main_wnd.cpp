#include "quellix/app/main_wnd.h"

#include <atomic>
#include <cstdlib>
#include <string_view>

#include "quellix/app/config_calls.h"
#include "quellix/app/device_pages.h"
#include "quellix/app/lighting_pages_host.h"
#include "quellix/app/lighting_previews.h"
#include "quellix/app/profile_pages_host.h"
#include "quellix/app/profile_watchers.h"
#include "quellix/dui/builder.h"
#include "quellix/dui/container.h"
#include "quellix/dui/menu.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/dui/toolkit.h"
#include "quellix/lighting/state.h"
#include "quellix/platform/debug.h"
#include "quellix/platform/paths.h"
#include "quellix/ui/custom_controls.h"
#include "quellix/ui/msg_wnd.h"
#include "quellix/ui/shell_settings.h"

#include "page_navigation.h"

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
    void Refresh(device::DeviceKind kind) override {
        platform::debugOutputf("%s: not built yet (refresh %d)",
                               std::string(ui::featureName(feature_)).c_str(),
                               static_cast<int>(device::kindIndex(kind)));
    }

private:
    ui::Feature feature_;
};

CMainWnd::CMainWnd(std::unique_ptr<DeviceConfigCalls> calls)
    : configs_(std::make_shared<config::DeviceConfigs>()),
      link_(std::make_shared<DeviceLink>(calls ? std::move(calls) : MakeConfigCalls())),
      framesEnabled(link_->framesEnabled),
      showWindowMessage_(dui::RegisterWindowMessage(kShowWindowMessage)) {
    for (std::size_t i = 0; i < ui::kFeatureCount; ++i) {
        pages_[i] = std::make_unique<PendingPage>(static_cast<ui::Feature>(i));
    }
    // The lighting workers animate what the devices' records hold; the
    // synchronised record stays the link's own.
    lighting::LightingRecords records = link_->ownLightingRecords.records();
    records.pad = configs_->pad.record.span();
    records.mouse = configs_->mouse.record.span();
    records.keyboard = configs_->keyboard.record.span();
    records.keyboardCustom = {configs_->keyboard.custom.span(),
                              configs_->keyboard.keyColours.span()};
    records.keyboardVariant = &configs_->keyboard.variant;
    link_->lightingWorkers.setRecords(records);
    if (configCalls_ != nullptr) {
        desktop_ = platform::openDesktopSettings();
        InstallDevicePages(*this, *configCalls_, platform::systemClock(), *desktop_,
                           configCalls_->factoryDefaultsDir());
        InstallProfilePages(*this, *configCalls_);
        InstallLightingPages(*this, *configCalls_);
        configCalls_->setWheelSpeedApplier([desktop = desktop_.get()](int lines) {
            if (dui::Toolkit* toolkit = dui::Toolkit::current()) {
                toolkit->dispatcher().post([desktop, lines] { desktop->setWheelLines(lines); });
            }
        });
    }
}

std::unique_ptr<DeviceConfigCalls> CMainWnd::MakeConfigCalls() {
    auto calls = std::make_unique<ConfigCalls>(
        configs_,
        [this](device::DeviceKind kind) -> device::DeviceSession& { return Session(kind); },
        ConfigCalls::DirectoryLookup{},
        [](std::string_view key) {
            // Asked for on a detection worker: the box opens on the UI thread.
            ui::CMsgWnd::PostMessageBox(MainWindowHandle(), std::string(key));
        });
    configCalls_ = calls.get();
    return calls;
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

void CMainWnd::BeginRefresh() {
    ++*refreshes_;
    dui::PostTask([refreshes = std::weak_ptr<int>(refreshes_)] {
        if (auto count = refreshes.lock()) {
            --*count;
        }
    });
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
    const std::string name = msg.pSender != nullptr ? msg.pSender->GetName() : std::string();
    if (msg.pSender != nullptr) {
        platform::debugOutput(msg.sType);
        platform::debugOutput(name);
    }
    if (msg.sType == dui::DUI_MSGTYPE_WINDOWINIT) {
        StartUp();
    } else if (msg.sType == dui::DUI_MSGTYPE_CLICK && msg.pSender != nullptr) {
        // The caption buttons are the window's own and skip the default
        // handling.
        if (dui::EqualsNoCase(name, "closebtn")) {
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
        if (msg.pSender == captionButtons_[kSkin]) {
            Page(ui::Feature::SkinAndMenu).OnNotify(msg);
        }
        RunRoute(routeNotification(msg.sType, name), msg);
    } else if (msg.pSender != nullptr && dui::EqualsNoCase(name, "ani_flash") &&
               msg.sType == "showactivex") {
        // The animation page's movie needs a player this platform does not
        // have; the page stays as the layout draws it.
    } else if (msg.pSender != nullptr) {
        RunRoute(routeNotification(msg.sType, name), msg);
    }
    WindowImplBase::Notify(msg);
}

void CMainWnd::RunRoute(const Route& route, dui::TNotifyUI& msg) {
    for (const RouteStep& step : route) {
        if (step.kind == RouteStep::Kind::Feature) {
            Page(step.feature).OnNotify(msg);
        } else if (!RunLocalStep(step.local, msg)) {
            return;
        }
    }
}

bool CMainWnd::MacroEditorKeepsItsPage(const std::string& sender) {
    struct Editor {
        const char* bar;
        const char* subTab;
        const char* tab;
    };
    constexpr Editor editors[] = {{"ms_macro_tab_saveorcancel", "ms_macro_Op_tab", "ms_tab"},
                                  {"kb_macro_tab_saveorcancel", "kb_macro_Op_tab", "kb_tab"}};
    for (const Editor& editor : editors) {
        auto* bar = FindControl(editor.bar);
        if (bar == nullptr || !bar->IsVisible() || sender == editor.subTab ||
            sender == editor.tab) {
            continue;
        }
        for (const char* option : {editor.subTab, editor.tab}) {
            if (auto* control = FindControl<dui::COptionUI>(option)) {
                control->Selected(true);
            }
        }
        if (editor.tab == std::string_view("kb_tab")) {
            if (auto* tab = FindControl(editor.tab)) {
                tab->SetVisible(true);
            }
        }
        ui::CMsgWnd::MessageBox(GetHWND(), "message_text_3");
        return true;
    }
    return false;
}

bool CMainWnd::RunLocalStep(LocalStep step, dui::TNotifyUI& msg) {
    dui::CControlUI* sender = msg.pSender;
    const auto show = [this](const char* name, bool visible) {
        if (auto* control = FindControl(name)) {
            control->SetVisible(visible);
            control->SetEnabled(visible);
        }
    };
    switch (step) {
    case LocalStep::MacroEditGuard:
        return !MacroEditorKeepsItsPage(sender->GetName());
    case LocalStep::Navigate:
        navigatePages(m_pm, sender->GetName());
        break;
    case LocalStep::HideProfileSpreadTab:
        if (auto* panel = FindControl("ms_profile_fun_spead_tab")) {
            panel->SetVisible(false);
        }
        break;
    case LocalStep::DpiColourBorderOn:
        sender->SetBorderSize(2);
        sender->SetBorderColor(0xFFFFFFFF);
        break;
    case LocalStep::DpiColourBorderOff:
        sender->SetBorderSize(0);
        break;
    case LocalStep::ShowKeyboardKeyPanel:
        if (auto* panel = FindControl("kb_tab_function"); panel != nullptr && !panel->IsVisible()) {
            show("kb_tab_function", true);
        }
        break;
    case LocalStep::CancelMouseKeyEdit:
        show("ms_tab_function", false);
        break;
    case LocalStep::CancelKeyboardKeyEdit:
        show("kb_tab_function", false);
        break;
    case LocalStep::ShowProgress:
        dui::SendMessage(GetHWND(), kMsgShowProgress, 0, 0);
        break;
    case LocalStep::HideProgressSoon:
        dui::SendMessage(GetHWND(), kMsgHideProgressSoon, 0, 0);
        break;
    case LocalStep::UnselectBullet:
        if (auto* option = dynamic_cast<dui::COptionUI*>(sender);
            option != nullptr && option->IsSelected()) {
            option->Selected(false);
            if (auto* editor = FindControl("cursor_edit_layout")) {
                editor->SetEnabled(false);
            }
        }
        break;
    case LocalStep::TraceUserData:
        platform::debugOutput(sender->GetUserData());
        break;
    case LocalStep::DpiFromUserData:
        if (const int dpi = std::atoi(sender->GetUserData().c_str()); dpi > 0) {
            m_pm.SetDPI(dpi);
        }
        break;
    case LocalStep::TraceRenewDevice:
        platform::debugOutput("12312312312312");
        break;
    }
    return true;
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
    case dui::WM_SHOWWINDOW:
    case dui::WM_SYSCOMMAND:
        // Coming back from the tray or from the minimised state: the
        // previews follow at once, not at the hidden window's slow look.
        if (startedUp_ && ((msg == dui::WM_SHOWWINDOW && wParam != 0) ||
                           (msg == dui::WM_SYSCOMMAND && wParam == dui::SC_RESTORE))) {
            SetTimer(kTimerRepaint, kRepaintShownMs);
        }
        return 0;
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

void CMainWnd::MarkLightingChanged(device::DeviceKind kind) {
    lightingChanged[device::kindIndex(kind)] = 1;
    if (!endEditedSyncArmed_ && GetHWND() != dui::kNullWindow) {
        endEditedSyncArmed_ = true;
        SetTimer(kTimerEndEditedSync, kEndEditedSyncMs);
    }
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
        // Marks come on this thread only, so none can slip in between.
        KillTimer(id);
        endEditedSyncArmed_ = false;
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
    case kTimerRepaint: {
        KillTimer(id);
        // A hidden or minimised window has nothing to show: the timer then
        // only wakes now and then to see whether the window came back.
        const bool shown = IsWindowVisible() && !IsMinimized();
        if (shown) {
            RefreshLightingPreviews();
        }
        SetTimer(kTimerRepaint, shown ? kRepaintShownMs : kRepaintHiddenMs);
        break;
    }
    case kTimerReadKeyboard:
        KillTimer(id);
        link_->calls().readKeyboardImage(Session(device::DeviceKind::Keyboard));
        Page(ui::Feature::Lighting).Refresh(device::DeviceKind::Keyboard);
        break;
    case kTimerReadPad:
        KillTimer(id);
        link_->calls().readPadImage(Session(device::DeviceKind::MousePad));
        Page(ui::Feature::PadDevice).Refresh(device::DeviceKind::MousePad);
        break;
    default:
        break;
    }
}

void CMainWnd::RefreshLightingPreviews() {
    using device::DeviceKind;
    const lighting::LightingState& cells = link_->lighting;
    // A page shows its previews only while its LED layout is visible (its
    // tab and the device page around it selected).
    const auto shown = [this](DeviceKind kind) {
        return shownWithItsContainers(FindControl(previewLayoutName(kind)));
    };
    // The pad's and the mouse's lights are on while their lighting tab is
    // selected; the keyboard's always.
    const auto tabSelected = [this](const char* name) {
        const auto* tab = FindControl<dui::COptionUI>(name);
        return tab != nullptr && tab->IsSelected();
    };
    if (shown(DeviceKind::Keyboard)) {
        copyCellsToPreviews(cells.keyboard.cells, std::span<dui::CControlUI* const>(keyboardKeys_),
                            true);
    }
    if (shown(DeviceKind::Mouse)) {
        copyCellsToPreviews(cells.mouse.cells, std::span<dui::CControlUI* const>(mouseKeys_),
                            tabSelected("ms_deng_Op_tab"));
    }
    if (shown(DeviceKind::MousePad)) {
        copyCellsToPreviews(cells.pad.cells, std::span<dui::CControlUI* const>(padKeys_),
                            tabSelected("mp_deng_Op_tab"));
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
    auto listener = [link, timing](const device::ListenerTarget& target, std::size_t record,
                                   void (DeviceLink::*announce)(std::uint16_t)) {
        return [link, timing, &target, record, announce](platform::Event& stop) {
            device::HidDeviceRecord& hid = link->listenerRecords[record];
            device::runListener(
                target, hid, [&](std::uint16_t usage) { ((*link).*announce)(usage); }, stop,
                timing.listener);
        };
    };
    link->lightingWorkers.setTiming(timing.lighting);
    auto lighting = [link](DeviceKind kind) {
        return [link, kind](platform::Event& stop) { link->lightingWorkers.runKind(kind, stop); };
    };
    std::vector<WorkerEntry> entries = {
        {"keyboard detection", detection(DeviceKind::Keyboard)},
        {"mouse detection", detection(DeviceKind::Mouse)},
        {"mouse pad detection", detection(DeviceKind::MousePad)},
        {"mouse listener", listener(device::kMouseListener, 0, &DeviceLink::mouseAnnounced)},
        {"keyboard listener",
         listener(device::kKeyboardListener, 1, &DeviceLink::keyboardAnnounced)},
        {"keyboard lighting", lighting(DeviceKind::Keyboard)},
        {"mouse lighting", lighting(DeviceKind::Mouse)},
        {"mouse pad lighting", lighting(DeviceKind::MousePad)},
        {"synchronised lighting",
         [link](platform::Event& stop) { link->lightingWorkers.runSync(stop); }},
    };
    for (const profiles::WatcherInfo& watcher : profiles::kWatchers) {
        entries.push_back({watcher.name, profileWatcherWorker(*this, watcher, watcherSetup_)});
    }
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

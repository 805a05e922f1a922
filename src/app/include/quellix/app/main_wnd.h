#pragma once
// CMainWnd: the main window, the one long-lived object of the program.
//
// It is built from the layout "XML_MAIN"; its CreateControl answers the
// page sub-layouts and the custom controls the layout names; InitWindow
// loads the first language, caches the caption and key buttons, preselects
// the lighting palettes' colour and creates the tray icon.

#include <array>
#include <functional>
#include <memory>

#include "quellix/app/device_config_calls.h"
#include "quellix/app/device_link.h"
#include "quellix/app/notify_routes.h"
#include "quellix/app/workers.h"
#include "quellix/config/device_configs.h"
#include "quellix/device/detection.h"
#include "quellix/device/listener.h"
#include "quellix/dui/tray_icon.h"
#include "quellix/dui/window.h"
#include "quellix/platform/desktop_settings.h"
#include "quellix/platform/foreground_program.h"
#include "quellix/platform/shared_bytes.h"
#include "quellix/profiles/watcher.h"
#include "quellix/ui/feature_page.h"

namespace quellix::app {

class ConfigCalls;

inline constexpr const char* kMainWindowTitle = "Quellix T417 Gaming Mouse pad Driver";
inline constexpr const char* kTrayTip = "Quellix mouse pad T417";
inline constexpr int kMainWindowWidth = 800;
inline constexpr int kMainWindowHeight = 572;
inline constexpr dui::DWORD kMainWindowStyle = 0x96CA0000;
inline constexpr dui::UINT kTrayIconId = 107;
inline constexpr dui::DWORD kPalettePreselect = 0xFF0199CB;
// The message a second instance delivers and the first one answers.
inline constexpr const char* kShowWindowMessage = "MARWENIK_001";

// The main window's timers.
inline constexpr dui::UINT kTimerHideProgress = 1;
inline constexpr dui::UINT kTimerEndEditedSync = 2;
// How soon after an edit timer 2 ends the edited kind's synchronised effect.
inline constexpr dui::UINT kEndEditedSyncMs = 100;
inline constexpr dui::UINT kTimerRepaint = 10;
// Timer 10's period while the window is shown, and while it is hidden or
// minimised (nothing to repaint then: it only looks whether that changed).
inline constexpr dui::UINT kRepaintShownMs = 50;
inline constexpr dui::UINT kRepaintHiddenMs = 1000;
inline constexpr dui::UINT kTimerReadKeyboard = 11;
inline constexpr dui::UINT kTimerReadPad = 12;

// Messages around an upload.
inline constexpr dui::UINT kMsgShowProgress = 3072;
inline constexpr dui::UINT kMsgHideProgressSoon = 3073;

// How long the shutdown waits for the workers.
inline constexpr int kShutdownWaitMs = 10000;

// Pacing of the device workers; tests shorten it.
struct DeviceWorkerTiming {
    device::DetectionTiming detection;
    device::ListenerTiming listener;
    LightingWorkerTiming lighting;
};

// How the profile watchers pass and where they learn the program in front
// (each watcher opens its own).
struct ProfileWatcherSetup {
    profiles::WatcherTiming timing;
    std::function<std::unique_ptr<platform::ForegroundProgram>()> openForeground =
        platform::openForegroundProgram;
};

// The main window's handle, set once by InitWindow (any thread may read it).
dui::HWND MainWindowHandle();

// The sub-layout file for a class name of the CreateControl table (names
// compared without regard to case), or nothing.
std::optional<dui::CDuiString> SubLayoutFor(const dui::CDuiString& className);

class CMainWnd : public dui::WindowImplBase {
    // First, so that the members below may refer into them: the link's
    // configuration calls use the records, framesEnabled lives in the link.
    std::shared_ptr<config::DeviceConfigs> configs_;
    std::unique_ptr<platform::DesktopSettings> desktop_;
    ConfigCalls* configCalls_ = nullptr; // owned by the link
    std::shared_ptr<DeviceLink> link_;

public:
    static constexpr int kMouseKeyButtons = 20;
    static constexpr int kPadKeyButtons = 15;
    static constexpr int kKeyboardKeyButtons = 126;
    enum CaptionButton { kClose, kMax, kRestore, kMin, kSkin, kCaptionButtonCount };

    // `calls` does the configuration reads and profile loads of a
    // connection.  Without one the window does them on its own images and
    // records (Configs()) and installs the pad, mouse and keyboard device
    // pages.
    explicit CMainWnd(std::unique_ptr<DeviceConfigCalls> calls = {});
    ~CMainWnd() override;

    dui::CDuiString GetWindowClassName() const override { return "MainWnd"; }
    dui::UINT GetClassStyle() const override { return dui::UI_CLASSSTYLE_DIALOG; }
    dui::CDuiString GetSkinFile() override { return "XML_MAIN"; }
    void InitWindow() override;
    void Notify(dui::TNotifyUI& msg) override;
    dui::CControlUI* CreateControl(const dui::CDuiString& className) override;
    dui::LRESULT HandleCustomMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam,
                                     bool& handled) override;
    // The two texts the shell answers itself (titletext, hometext).
    std::optional<dui::CDuiString> QueryControlText(const dui::CDuiString& key,
                                                    const dui::CDuiString& type) override;

    // Brings the window to the front: shown, restored, raised.
    void BringToFront();

    // The page a feature's notifications and messages go to (a stand-in
    // that writes one debug line until the feature's page is installed).
    ui::FeaturePage& Page(ui::Feature feature);
    // Installs a feature's page; before Create, or on the UI thread.
    void SetPage(ui::Feature feature, std::unique_ptr<ui::FeaturePage> page);

    DeviceLink& Link() { return *link_; }
    // The images and records of the three devices, for the whole run.
    config::DeviceConfigs& Configs() { return *configs_; }
    device::DeviceSession& Session(device::DeviceKind kind) { return link_->session(kind); }
    // Before Create: where the devices come from (the system's hidraw
    // devices unless set).
    void SetDeviceSource(const hid::DeviceSource& source) { link_->setSource(source); }
    // Before Create: how often the device workers poll.
    void SetDeviceWorkerTiming(const DeviceWorkerTiming& timing) { timing_ = timing; }
    // Before Create: the profile watchers' pace and their program in front.
    void SetProfileWatcherSetup(ProfileWatcherSetup setup) { watcherSetup_ = std::move(setup); }
    bool WorkersRunning() const { return workers_.started(); }
    // Before Create: the devices found at start do not bring the window up;
    // it stays in the tray until the user asks for it.
    void SetStartHidden(bool hidden) { startHidden_ = hidden; }

    dui::UINT ShowWindowMessageId() const { return showWindowMessage_; }
    dui::CControlUI* CaptionButtonAt(CaptionButton which) const { return captionButtons_[which]; }
    dui::CControlUI* MouseKeyButton(int i) const { return mouseKeys_.at(std::size_t(i)); }
    dui::CControlUI* PadKeyButton(int i) const { return padKeys_.at(std::size_t(i)); }
    dui::CControlUI* KeyboardKeyButton(int i) const { return keyboardKeys_.at(std::size_t(i)); }
    const dui::CTrayIcon& TrayIcon() const { return tray_; }

    // Set by the lighting pages through MarkLightingChanged, consumed by
    // timer 2 (keyboard, mouse, pad).
    std::array<platform::Shared<int>, 3> lightingChanged{};
    // Marks a kind's lighting as edited and makes sure timer 2 will look at
    // it within 100 ms.  The timer runs only while a mark waits, so that an
    // untouched window does not wake ten times a second for nothing.  UI
    // thread only, as every edit is.
    void MarkLightingChanged(device::DeviceKind kind);

    // A page refresh sets controls, and their notifications (some at once,
    // some through the dispatcher's queue) run the same handlers as a
    // user's edit.  A refresh counts as running until a task posted after
    // those notifications has run; failures met meanwhile are nobody's edit
    // and are logged, not shown.
    void BeginRefresh();
    bool Refreshing() const { return *refreshes_ > 0; }
    // 0 between a suspend and the following resume; lighting frames are
    // sent only while it is 1.  Kept by the device link, which the
    // lighting workers share.
    platform::Shared<int>& framesEnabled;

private:
    bool endEditedSyncArmed_ = false;
    void OnTimer(dui::UINT id);
    // Timer 10: the previews of a shown lighting page take the LED cells.
    void RefreshLightingPreviews();
    void StartUp();
    void ShutDown();
    void StartWorkers();
    // Every feature's part of a start-up step, in feature order.
    void StartUpPages(ui::StartUpStep step);
    // The show-window and tray-click rules: without a device the window
    // stays hidden and says why (once while the box is open).
    bool HideWithoutDevice(bool& boxOpen);
    void OnShowWindowMessage(dui::LPARAM from);
    void OnTrayClick();
    void OnLastDeviceRemoved();
    // Carries out a notification's route; a local step may end it.
    void RunRoute(const Route& route, dui::TNotifyUI& msg);
    bool RunLocalStep(LocalStep step, dui::TNotifyUI& msg);
    // An open macro editor keeps its page: the selection goes back to it and
    // the user is told (true: the routing ends).
    bool MacroEditorKeepsItsPage(const std::string& sender);
    bool RouteFeatureMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam);

    std::unique_ptr<DeviceConfigCalls> MakeConfigCalls();

    DeviceWorkerTiming timing_;
    ProfileWatcherSetup watcherSetup_;
    WorkerSet workers_;
    std::array<std::unique_ptr<ui::FeaturePage>, ui::kFeatureCount> pages_;
    std::shared_ptr<int> refreshes_ = std::make_shared<int>(0);
    bool showRuleBoxOpen_ = false;
    bool trayRuleBoxOpen_ = false;
    bool startedUp_ = false;
    bool startHidden_ = false;
    bool shutDown_ = false;

    dui::UINT showWindowMessage_;
    std::array<dui::CControlUI*, kCaptionButtonCount> captionButtons_{};
    std::array<dui::CControlUI*, kMouseKeyButtons> mouseKeys_{};
    std::array<dui::CControlUI*, kPadKeyButtons> padKeys_{};
    std::array<dui::CControlUI*, kKeyboardKeyButtons> keyboardKeys_{};
    dui::CTrayIcon tray_;
};

} // namespace quellix::app

#pragma once
// The device pages of the pad, the mouse and the keyboard: the window
// messages that re-read a device (2305, 2306, 2561, 2562, 2817, 2818,
// 2819), the mouse page's device settings and the refreshes that show the
// records.  The lighting part of each refresh belongs to the lighting page,
// which the refreshes hand on to.

#include "quellix/app/config_calls.h"
#include "quellix/app/main_wnd.h"
#include "quellix/platform/clock.h"
#include "quellix/platform/desktop_settings.h"
#include "quellix/platform/reason_log.h"
#include "quellix/ui/feature_page.h"

#include <filesystem>
#include <memory>

namespace quellix::app {

class PadDevicePage final : public ui::FeaturePage {
public:
    PadDevicePage(CMainWnd& window, ConfigCalls& calls, platform::Clock& clock);
    void OnNotify(dui::TNotifyUI& msg) override;
    bool OnMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam) override;
    void Refresh(device::DeviceKind kind) override;

    // The slot combo's selection: switches the pad's active slot.
    void SelectSlot(int n);
    // "mp_one_profile_default": factory reset, a second's pause, then
    // message 2561 re-reads the image.
    void Reset();

private:
    CMainWnd& window_;
    ConfigCalls& calls_;
    platform::Clock& clock_;
    platform::ReasonLog notices_{"pad notice"};
};

class MouseDevicePage final : public ui::FeaturePage {
public:
    // `desktop` takes the pointer speed and wheel lines.
    MouseDevicePage(CMainWnd& window, ConfigCalls& calls, platform::DesktopSettings& desktop);
    void OnNotify(dui::TNotifyUI& msg) override;
    bool OnMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam) override;
    void Refresh(device::DeviceKind kind) override;

private:
    void RefreshDevice();
    void RefreshControls();
    void SelectSlot(int n);
    // The failure of an edit: shown with its reason, or only logged while a
    // refresh sets the controls (their notifications are nobody's edit).
    void Report(const char* whatKey, const Result& result);
    // An edit's device write and its profile saves: the device's failure
    // first; a save's only when the device took the change.
    void ReportEdit(const Result& device, const Result& saved);
    void DpiReleased(int stage, int value);
    void DpiMoved(int stage, int value);
    void ReportRateChosen(int rate);
    void PickDpiColour(int stage, dui::CControlUI& button);
    void PointerSpeedChanged(int value);
    // The wheel speed edit's buttons and edits.
    void WheelSpeedStep(int delta);
    void WheelSpeedTyped();
    void WheelSpeedLeft();
    void ApplyWheelSpeed(int lines);
    // Both mouse profiles after a speed edit; a failure is shown.
    void SaveSpeeds();
    void Reset();

    CMainWnd& window_;
    ConfigCalls& calls_;
    platform::DesktopSettings& desktop_;
    platform::ReasonLog notices_{"mouse notice"};
};

class KeyboardDevicePage final : public ui::FeaturePage {
public:
    // `defaultsDir`, the factory defaults folder, receives the default key
    // profile message 2819 writes (an installed, read-only folder keeps the
    // shipped file and the write is logged as failed).
    KeyboardDevicePage(CMainWnd& window, ConfigCalls& calls, std::filesystem::path defaultsDir);
    void OnNotify(dui::TNotifyUI& msg) override;
    bool OnMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam) override;
    void Refresh(device::DeviceKind kind) override;

private:
    CMainWnd& window_;
    ConfigCalls& calls_;
    std::filesystem::path defaultsDir_;
    platform::ReasonLog notices_{"keyboard notice"};
    platform::ReasonLog defaultKeys_{"default key table"};
};

// Installs the three pages on the window (before Create, or on the UI
// thread).
void InstallDevicePages(CMainWnd& window, ConfigCalls& calls, platform::Clock& clock,
                        platform::DesktopSettings& desktop,
                        const std::filesystem::path& defaultsDir);

// The wheel speed range of "ms_gunlun_speed_edit".
inline constexpr int kMinWheelSpeed = 1;
inline constexpr int kMaxWheelSpeed = 100;
// Reset values: pointer slider 5 (speed 10 on the desktop), 3 wheel lines.
inline constexpr int kResetPointerSlider = 5;
inline constexpr int kResetPointerSpeed = 10;
inline constexpr int kResetWheelLines = 3;
// The tooltip key the wheel speed edit shows where the desktop has no
// wheel-lines setting.
inline constexpr const char* kWheelUnsupportedTip = "ms_gunlun_speed_unsupported";

} // namespace quellix::app

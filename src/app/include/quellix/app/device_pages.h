#pragma once
// The device pages of the pad, the mouse and the keyboard: the window
// messages that re-read a device (2305, 2306, 2561, 2562, 2817, 2818,
// 2819), the mouse page's device settings and the refreshes that show the
// records.  The lighting part of each refresh belongs to the lighting page,
// which the refreshes hand on to.

#include "quellix/app/config_calls.h"
#include "quellix/app/main_wnd.h"
#include "quellix/platform/clock.h"
#include "quellix/ui/feature_page.h"

#include <filesystem>

namespace quellix::app {

class PadDevicePage final : public ui::FeaturePage {
public:
    PadDevicePage(CMainWnd& window, ConfigCalls& calls, platform::Clock& clock);
    void OnNotify(dui::TNotifyUI& msg) override;
    bool OnMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam) override;
    void Refresh(int kind) override;

    // The slot combo's selection: switches the pad's active slot.
    void SelectSlot(int n);
    // "mp_one_profile_default": factory reset, a second's pause, then
    // message 2561 re-reads the image.
    void Reset();

private:
    CMainWnd& window_;
    ConfigCalls& calls_;
    platform::Clock& clock_;
};

class MouseDevicePage final : public ui::FeaturePage {
public:
    MouseDevicePage(CMainWnd& window, ConfigCalls& calls);
    void OnNotify(dui::TNotifyUI& msg) override;
    bool OnMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam) override;
    void Refresh(int kind) override;

private:
    void RefreshDevice();
    void SelectSlot(int n);
    void DpiReleased(int stage, int value);
    void DpiMoved(int stage, int value);
    void ReportRateChosen(int rate);

    CMainWnd& window_;
    ConfigCalls& calls_;
};

class KeyboardDevicePage final : public ui::FeaturePage {
public:
    // `programDir` receives the default key profile message 2819 writes.
    KeyboardDevicePage(CMainWnd& window, ConfigCalls& calls, std::filesystem::path programDir);
    void OnNotify(dui::TNotifyUI& msg) override;
    bool OnMessage(dui::UINT msg, dui::WPARAM wParam, dui::LPARAM lParam) override;
    void Refresh(int kind) override;

private:
    CMainWnd& window_;
    ConfigCalls& calls_;
    std::filesystem::path programDir_;
};

// Installs the three pages on the window (before Create, or on the UI
// thread).
void InstallDevicePages(CMainWnd& window, ConfigCalls& calls, platform::Clock& clock,
                        const std::filesystem::path& programDir);

} // namespace quellix::app

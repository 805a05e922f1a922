#include "quellix/app/lighting_pages_host.h"

#include "quellix/lighting/pages/lighting_page.h"
#include "quellix/platform/reason_log.h"
#include "quellix/ui/failure_message.h"

namespace quellix::app {

namespace {

namespace pages = lighting::pages;

class WindowLightingHost final : public pages::LightingHost {
public:
    WindowLightingHost(CMainWnd& window, ConfigCalls& calls) : window_(window), calls_(calls) {}

    dui::CControlUI* FindControl(const std::string& name) override {
        return window_.FindControl(name);
    }
    config::DeviceConfigs& Configs() override { return calls_.configs(); }
    device::DeviceSession& Session(device::DeviceKind kind) override {
        return calls_.session(kind);
    }
    lighting::LightingState& Engine() override { return window_.Link().lighting; }
    std::span<platform::SharedByte> SyncRecord() override {
        return window_.Link().ownLightingRecords.sync.span();
    }
    void MarkChanged(device::DeviceKind kind) override { window_.MarkLightingChanged(kind); }
    void ForgetChanged(device::DeviceKind kind) override {
        window_.lightingChanged[device::kindIndex(kind)] = 0;
    }
    void SyncActivated() override { window_.Link().lightingWorkers.syncActivated(); }
    Result SaveProfile(pages::Save what) override {
        switch (what) {
        case pages::Save::PadLighting:
            return calls_.savePadLighting();
        case pages::Save::MouseLighting:
            return calls_.saveMouseLighting();
        case pages::Save::MouseDevice:
            return calls_.saveMouseDevice();
        case pages::Save::KeyboardLighting:
            return calls_.saveKeyboardLighting();
        }
        return Result::failure(Status::BadArgument, "no such profile");
    }
    void ShowFailure(std::string_view whatKey, const Result& result) override {
        if (window_.Refreshing()) {
            refreshFailures_.note(result);
        } else {
            ui::ShowFailure(window_.GetHWND(), whatKey, result);
        }
    }

private:
    CMainWnd& window_;
    ConfigCalls& calls_;
    platform::ReasonLog refreshFailures_{"lighting page refresh"};
};

// The page owns its host: both live as long as the window's page table.
class HostedLightingPage final : public ui::FeaturePage {
public:
    HostedLightingPage(CMainWnd& window, ConfigCalls& calls)
        : window_(window), host_(window, calls), page_(host_) {}
    void OnNotify(dui::TNotifyUI& msg) override { page_.OnNotify(msg); }
    void Refresh(device::DeviceKind kind) override {
        window_.BeginRefresh();
        page_.Refresh(kind);
    }

private:
    CMainWnd& window_;
    WindowLightingHost host_;
    pages::LightingPage page_;
};

} // namespace

void InstallLightingPages(CMainWnd& window, ConfigCalls& calls) {
    window.SetPage(ui::Feature::Lighting, std::make_unique<HostedLightingPage>(window, calls));
}

} // namespace quellix::app

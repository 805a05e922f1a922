#include "quellix/app/profile_pages_host.h"

namespace quellix::app {

namespace {

using device::DeviceKind;
using profiles::Family;

DeviceKind kindOf(Family family) {
    switch (family) {
    case Family::PadLighting:
        return DeviceKind::MousePad;
    case Family::KeyboardLighting:
    case Family::KeyboardKeys:
        return DeviceKind::Keyboard;
    default:
        return DeviceKind::Mouse;
    }
}

class WindowProfileHost final : public profiles::pages::ProfileHost {
public:
    WindowProfileHost(CMainWnd& window, ConfigCalls& calls) : window_(window), calls_(calls) {}

    dui::CControlUI* FindControl(const std::string& name) override {
        return window_.FindControl(name);
    }
    dui::HWND Window() override { return window_.GetHWND(); }
    std::filesystem::path DataDirectory(Family family) override {
        return calls_.dataDirectory(kindOf(family));
    }
    std::filesystem::path DefaultsDirectory() override { return calls_.factoryDefaultsDir(); }
    int KeyboardVariant() override { return calls_.configs().keyboard.variant.load(); }

    bool Load(Family family, int position) override {
        switch (family) {
        case Family::PadLighting:
            return calls_.loadPadLightingAt(position);
        case Family::KeyboardLighting:
            calls_.loadKeyboardLighting(position);
            return true;
        case Family::KeyboardKeys:
            return calls_.loadKeyboardKeys(position);
        case Family::MouseDevice:
            calls_.loadMouseDevice(position);
            return true;
        case Family::MouseLighting:
            return calls_.loadMouseLighting(position);
        case Family::MouseKeys:
            return calls_.loadMouseKeys(position);
        case Family::Count:
            break;
        }
        return false;
    }

    Result ResetToDefault(Family family, std::span<const std::uint8_t> defaults) override {
        using Reset = Result (ConfigCalls::*)(std::span<const std::uint8_t>);
        static constexpr Reset kResets[profiles::kFamilyCount] = {
            &ConfigCalls::resetPadLighting,   &ConfigCalls::resetKeyboardLighting,
            &ConfigCalls::resetKeyboardKeys,  &ConfigCalls::resetMouseDevice,
            &ConfigCalls::resetMouseLighting, &ConfigCalls::resetMouseKeys,
        };
        return (calls_.*kResets[static_cast<std::size_t>(family)])(defaults);
    }

    void PlaceKeyboardLighting(std::span<const std::uint8_t> payload) override {
        calls_.placeKeyboardLighting(payload);
    }

    Result WriteKeyPage(Family family) override {
        if (kindOf(family) == DeviceKind::Keyboard) {
            return calls_.writeKeyboardKeyPage();
        }
        return calls_.writeMouseKeyPage();
    }

    void ApplyWheelSpeed() override { calls_.applyWheelSpeed(); }

    void RefreshPage(ui::Feature feature, device::DeviceKind page) override {
        window_.Page(feature).Refresh(page);
    }
    void SetLightingChanged(device::DeviceKind page) override { window_.MarkLightingChanged(page); }

private:
    CMainWnd& window_;
    ConfigCalls& calls_;
};

// The host lives as long as the panels that call it.
struct ProfileFeature {
    ProfileFeature(CMainWnd& window, ConfigCalls& calls) : host(window, calls), panels(host) {}
    WindowProfileHost host;
    profiles::pages::ProfilePanels panels;
};

} // namespace

void InstallProfilePages(CMainWnd& window, ConfigCalls& calls) {
    auto feature = std::make_shared<ProfileFeature>(window, calls);
    std::shared_ptr<profiles::pages::ProfilePanels> panels(feature, &feature->panels);
    window.SetPage(ui::Feature::Profiles, std::make_unique<profiles::pages::ProfilesPage>(panels));
    window.SetPage(ui::Feature::ProfileLinks,
                   std::make_unique<profiles::pages::ProfileLinksPage>(panels));
}

} // namespace quellix::app

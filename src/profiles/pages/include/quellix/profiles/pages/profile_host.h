#pragma once
// What the profile panels need from the application around them: the
// window's controls, the data directories, the loads, saves and resets of
// the configuration state, and the refreshes of the other pages.  The
// application implements it; tests give a recording one.

#include "quellix/dui/control.h"
#include "quellix/profiles/families.h"
#include "quellix/ui/feature_page.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace quellix::profiles::pages {

class ProfileHost {
public:
    virtual ~ProfileHost() = default;

    virtual dui::CControlUI* FindControl(const std::string& name) = 0;
    // The owner of the message boxes and dialogs.
    virtual dui::HWND Window() = 0;
    // Where a family's catalogue and profile files lie.
    virtual std::filesystem::path DataDirectory(Family family) = 0;
    // Where the factory default profiles lie (the program's folder).
    virtual std::filesystem::path DefaultsDirectory() = 0;
    // 0..2, chosen by the keyboard last detected (0 before any).
    virtual int KeyboardVariant() = 0;

    // Loads the profile at a catalogue position into the configuration
    // state; true when it was applied.
    virtual bool Load(Family family, int position) = 0;
    // The reset of a family: `defaults` into the state, the profile saved,
    // the device's own copy written where it keeps one; the first failure.
    virtual Result ResetToDefault(Family family, std::span<const std::uint8_t> defaults) = 0;
    // A new keyboard lighting profile: its payload becomes the state.
    virtual void PlaceKeyboardLighting(std::span<const std::uint8_t> payload) = 0;
    // The host's key block goes to the family's device as key page 0.
    virtual Result WriteKeyPage(Family family) = 0;
    // The mouse's wheel speed goes to the desktop.
    virtual void ApplyWheelSpeed() = 0;

    // Another feature's page shows the state of a device page again.
    virtual void RefreshPage(ui::Feature feature, device::DeviceKind page) = 0;
    // The device page's lighting changed (ends a synchronised effect).
    virtual void SetLightingChanged(device::DeviceKind page) = 0;
};

} // namespace quellix::profiles::pages

#pragma once
// What the lighting pages need from the application around them: the
// window's controls, the records and sessions of the three devices, the
// lighting engine's state, the saves into the current profiles and the
// flags the main window keeps.  The application implements it; tests may
// give their own.

#include "quellix/config/device_configs.h"
#include "quellix/device/device_kind.h"
#include "quellix/device/device_session.h"
#include "quellix/dui/control.h"
#include "quellix/lighting/state.h"
#include "quellix/platform/shared_bytes.h"

#include <span>
#include <string>

namespace quellix::lighting::pages {

// The profile files a lighting edit saves into.
enum class Save : std::uint8_t {
    PadLighting,
    MouseLighting,
    MouseDevice,
    KeyboardLighting,
};

class LightingHost {
public:
    virtual ~LightingHost() = default;

    virtual dui::CControlUI* FindControl(const std::string& name) = 0;
    virtual config::DeviceConfigs& Configs() = 0;
    virtual device::DeviceSession& Session(device::DeviceKind kind) = 0;
    virtual LightingState& Engine() = 0;
    // The synchronised-lighting record (mode .. blue, 8 bytes).
    virtual std::span<platform::SharedByte> SyncRecord() = 0;
    // The kind's lighting was edited: the main window's timer hands the
    // device back to its own animation.
    virtual void MarkChanged(device::DeviceKind kind) = 0;
    // Drops an edit mark the timer has not seen yet.
    virtual void ForgetChanged(device::DeviceKind kind) = 0;
    // Wakes the synchronised worker after sessions were synchronised.
    virtual void SyncActivated() = 0;
    // Saves into the profile the family selects; false when it failed.
    virtual Result SaveProfile(Save what) = 0;
    // Shows the failure of a step the user asked for, with its reason
    // (`whatKey` names the step's message); nothing for a success.
    virtual void ShowFailure(std::string_view whatKey, const Result& result) = 0;
};

} // namespace quellix::lighting::pages

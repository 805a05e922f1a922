#pragma once
// A feature's page: the object the main window hands the notifications and
// messages of that feature to.  The main window only routes (by control
// name and message number); what a control does lives in the page that
// owns it, so each feature can be built and tested on its own.

#include "quellix/device/device_kind.h"
#include <cstdint>
#include <string_view>

#include "quellix/dui/notify.h"
#include "quellix/dui/types.h"

namespace quellix::ui {

// The features the main window routes to.
enum class Feature : std::uint8_t {
    SkinAndMenu,     // background chooser, language, settings and tray menus
    PadDevice,       // the pad's on-board slots, reset
    MouseDevice,     // DPI stages, report rate, pointer and wheel speed, slots
    KeyboardDevice,  // the keyboard's configuration image
    Lighting,        // the three lighting pages and same mode
    Profiles,        // profile lists and their operations
    ProfileLinks,    // profiles linked to programs
    KeyAssignment,   // key functions and key pages
    Macros,          // macro library and editor
    InputCapture,    // global key and mouse capture
    MacroUpload,     // macro memory image and upload
    PointerPatterns, // pointer-movement patterns
    Count
};

inline constexpr std::size_t kFeatureCount = static_cast<std::size_t>(Feature::Count);

inline constexpr std::string_view featureName(Feature feature) {
    constexpr std::string_view names[] = {"skin and menu",   "pad device",     "mouse device",
                                          "keyboard device", "lighting",       "profiles",
                                          "profile links",   "key assignment", "macros",
                                          "input capture",   "macro upload",   "pointer patterns"};
    return names[static_cast<std::size_t>(feature)];
}

// Kinds as the pages index them: 0 keyboard, 1 mouse, 2 mouse pad.

// The points of the main window's start-up sequence where features take
// part, in the order they come.
enum class StartUpStep : std::uint8_t {
    Remembered,     // first: what the features remember (background, lists)
    MachineNotes,   // after the device identities, before the window hides
    WorkersRunning, // last: the workers and timers run (the chosen language)
};

class FeaturePage {
public:
    virtual ~FeaturePage() = default;
    // UI thread: a notification the main window's routing gives to this
    // feature.
    virtual void OnNotify(dui::TNotifyUI& msg) = 0;
    // UI thread: a window message of this feature (the re-reads a device
    // asks for, captured input, ...).  True when the page handled it.
    virtual bool OnMessage(dui::UINT /*msg*/, dui::WPARAM /*wParam*/, dui::LPARAM /*lParam*/) {
        return false;
    }
    // UI thread: brings the controls of the given kind's page up to date
    // with the records.
    virtual void Refresh(device::DeviceKind /*kind*/) {}
    // UI thread: the feature's part of a step of the start-up sequence.
    virtual void StartUp(StartUpStep /*step*/) {}
};

} // namespace quellix::ui

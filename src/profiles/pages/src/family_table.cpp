// Per family: the controls of its panel, and what a selection and a reset
// do to the other pages after the state changed.

#include "family_effects.h"

namespace quellix::profiles::pages {

namespace {

constexpr FamilyControls kControls[kFamilyCount] = {
    {"mp_deng_profile_combo", "mp_deng", "mp_pro_deng", device::DeviceKind::MousePad, false, true},
    {"kb_deng_profile_combo", "kb_deng", "kb_pro_deng", device::DeviceKind::Keyboard, false, true},
    {"kb_key_profile_combo", "kb_key", "kb_pro_key", device::DeviceKind::Keyboard, false, true},
    {"ms_device_profile_combo", "ms_device", "ms_pro_device", device::DeviceKind::Mouse, false,
     true},
    {"ms_deng_profile_combo", "ms_deng", "ms_pro_deng", device::DeviceKind::Mouse, true, false},
    {"ms_key_profile_combo", "ms_key", "ms_pro_key", device::DeviceKind::Mouse, true, false},
};

constexpr ui::Feature kNone = ui::Feature::Count;

// After a selection's load.
constexpr Effects kSelectEffects[kFamilyCount] = {
    // page refreshed       lighting changed  key panel hidden   key labels  key page  wheel
    {ui::Feature::Lighting, true, nullptr, false, false, false},
    {ui::Feature::Lighting, false, nullptr, false, false, false},
    {kNone, false, "kb_tab_function", true, true, false},
    // The device profile's load hands its wheel speed to the desktop itself.
    {ui::Feature::MouseDevice, true, nullptr, true, true, false},
    {ui::Feature::MouseDevice, true, nullptr, false, false, true},
    {kNone, false, "ms_tab_function", true, true, false},
};

// After a reset (the host has put the defaults into the state, saved the
// profile and written what the device keeps).
constexpr Effects kResetEffects[kFamilyCount] = {
    {ui::Feature::Lighting, true, nullptr, false, false, false},
    {ui::Feature::Lighting, false, nullptr, false, false, false},
    {ui::Feature::Lighting, false, nullptr, false, false, false},
    {ui::Feature::MouseDevice, true, nullptr, false, false, false},
    {ui::Feature::MouseDevice, true, nullptr, false, false, false},
    {ui::Feature::MouseDevice, false, nullptr, false, false, false},
};

// The mouse-pad and mouse lighting defaults give the lighting bytes of a
// slot only; the rest of the slot keeps its values.
constexpr std::size_t kLightingDefaultBytes = 56;

} // namespace

const FamilyControls& familyControls(Family family) {
    return kControls[static_cast<std::size_t>(family)];
}

const Effects& selectEffects(Family family) {
    return kSelectEffects[static_cast<std::size_t>(family)];
}

const Effects& resetEffects(Family family) {
    return kResetEffects[static_cast<std::size_t>(family)];
}

std::size_t resetDefaultBytes(Family family) {
    return family == Family::PadLighting || family == Family::MouseLighting
               ? kLightingDefaultBytes
               : familyInfo(family).payloadBytes;
}

// Keyboard keys: the function panel goes before the reset.
const char* panelHiddenBeforeReset(Family family) {
    return family == Family::KeyboardKeys ? "kb_tab_function" : nullptr;
}

} // namespace quellix::profiles::pages

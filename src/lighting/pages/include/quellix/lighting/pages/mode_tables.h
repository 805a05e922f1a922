#pragma once
// What each effect of a mode combo shows on its lighting page: which of the
// page's layouts are enabled, the direction labels and the control groups
// of the keyboard, and what a mode of the keyboard writes to the device.
// Pure data: the page applies a row to its controls.

#include <cstdint>
#include <optional>
#include <string_view>

namespace quellix::lighting::pages {

// One layout's state in a row: enabled, disabled, or left as it is.
enum class Switch : std::int8_t { Keep = -1, Off = 0, On = 1 };

// The four layouts of a page and its same-mode button.
struct LayoutRow {
    Switch fx = Switch::Keep;          // p"_deng_fx_layout": direction
    Switch colour = Switch::Keep;      // p"_deng_color_layout"
    Switch multicolour = Switch::Keep; // p"_deng_7colorselect_layout"
    Switch speed = Switch::Keep;       // p"_deng_speed_layout"
    Switch same = Switch::Keep;        // p"_deng_same_mode"
};

// The mode combos of the three pages.
enum class ModeCombo : std::uint8_t {
    Pad,         // "mp_deng_combo_modeSelect"
    Mouse0,      // "ms_deng_combo_modeSelect0"
    Mouse1,      // "ms_deng_combo_modeSelect1"
    Mouse2,      // "ms_deng_combo_modeSelect2", the one the mouse page shows
    Keyboard,    // "kb_deng_combo_modeSelect", keyboard variants 0 and 2
    KeyboardOne, // "kb_deng_onecolor_combo_modeSelect", variant 1
};
std::string_view comboName(ModeCombo combo);
std::optional<ModeCombo> comboNamed(std::string_view name);

// Why a row is applied: a mode chosen by the user, or a page refresh that
// shows what the record holds.
enum class Apply : std::uint8_t { Change, Refresh };

// The layouts for `mode`; nothing for a mode beyond the combo's table
// (then no control changes).
std::optional<LayoutRow> layoutRow(ModeCombo combo, int mode, Apply apply);

// The mouse's second combo also shows or hides its direction and speed
// layouts in modes 0..2.
struct LayoutVisibility {
    std::optional<bool> fx;
    std::optional<bool> speed;
};
LayoutVisibility mouseVisibility(ModeCombo combo, int mode);

// ---------------------------------------------------------------- keyboard

// The texts of "kb_Deng_label_FXL" and "kb_Deng_label_FXR" (language keys).
struct LabelPair {
    std::string_view left;
    std::string_view right;
};

// Which control group a keyboard mode shows (see KeyboardRow).
enum class KeyboardGroup : std::uint8_t {
    Normal, // direction, multicolour and colour display
    Custom, // the per-key colour tools; the normal group hidden
    Style,  // the normal group without direction, with the style checks
};

struct KeyboardRow {
    // Unset: the labels keep their texts.
    std::optional<LabelPair> labels;
    KeyboardGroup group = KeyboardGroup::Normal;
    // "kb_deng_color_lump" enabled by the mode change (not by a refresh).
    bool enableColourLump = false;
    // Variant 1's custom keys: the key selection enabled, the colour
    // controls disabled (a refresh enables the colour layout again).
    bool oneColourCustom = false;
    // Written to slot offset 1 with the mode's flag bytes (0: nothing).
    std::uint8_t deviceMode = 0;
};
std::optional<KeyboardRow> keyboardRow(ModeCombo combo, int mode);

// The keyboard page's controls that name the groups.
inline constexpr std::string_view kNormalGroup[] = {
    "kb_deng_fx_layout", "kb_deng_7colorselect_layout", "kb_deng_color_display_layout"};
inline constexpr std::string_view kCustomGroup[] = {
    "kb_deng_custom_tool_layout", "kb_deng_custom_select_layout", "kb_deng_custom_color_layout"};
inline constexpr std::string_view kStyleGroup = "kb_deng_style_tool_layout";

// The keyboard's main-combo mode whose colour goes to the custom colour.
inline constexpr int kKeyboardCustomMode = 8;
// Variant 1's custom-keys mode.
inline constexpr int kOneColourCustomMode = 6;
// The mode in which a click on a picture key places a ripple seed.
inline constexpr int kKeySeedMode = 9;
// The fixed colour of the one-colour keyboard.
inline constexpr std::uint32_t kOneColourShown = 0xFF00F6FF;
inline constexpr std::uint32_t kOneColourModeChange = 0xFF00FFFF;

} // namespace quellix::lighting::pages

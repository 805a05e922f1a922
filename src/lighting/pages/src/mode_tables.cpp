#include "quellix/lighting/pages/mode_tables.h"

#include <array>
#include <span>

namespace quellix::lighting::pages {

namespace {

// A row written as five characters, fx colour multicolour speed same:
// '1' enabled, '0' disabled, '-' left as it is.
constexpr Switch switchOf(char c) {
    return c == '1' ? Switch::On : c == '0' ? Switch::Off : Switch::Keep;
}
constexpr LayoutRow row(const char (&s)[6]) {
    return {switchOf(s[0]), switchOf(s[1]), switchOf(s[2]), switchOf(s[3]), switchOf(s[4])};
}

constexpr std::array kPadRows = {row("11111"), row("00011"), row("01111"), row("01001"),
                                 row("11110"), row("11110"), row("10010"), row("01110"),
                                 row("01100"), row("011-0")};
// The refresh disables direction in mode 6 and leaves everything in mode 9.
constexpr std::array kPadRefreshRows = {row("11111"), row("00011"), row("01111"), row("01001"),
                                        row("11110"), row("11110"), row("00010"), row("01110"),
                                        row("01100"), row("-----")};

constexpr std::array kMouse0Rows = {row("00010"), row("01110"), row("01110"),
                                    row("01000"), row("11110"), row("11110")};
constexpr std::array kMouse1Rows = {row("11110"), row("01110"), row("01000"),
                                    row("01000"), row("11110"), row("11110")};
constexpr std::array kMouse2Rows = {row("11111"), row("00011"), row("01111"), row("01001"),
                                    row("11110"), row("11110"), row("01110")};

constexpr std::array kKeyboardRows = {row("11111"), row("00011"), row("01111"), row("01011"),
                                      row("00010"), row("01110"), row("01110"), row("11110"),
                                      row("01100"), row("01110"), row("10010"), row("01110"),
                                      row("01110"), row("10010"), row("11110"), row("-1110"),
                                      row("01110"), row("-----"), row("01110")};

constexpr std::array kOneColourRows = {
    row("10010"), row("00010"), row("00010"), row("00000"), row("00010"), row("00010"),
    row("00000"), row("10010"), row("00010"), row("00010"), row("10010"), row("00010"),
    row("00010"), row("10010"), row("10010"), row("00010"), row("00010")};

std::span<const LayoutRow> rowsOf(ModeCombo combo, Apply apply) {
    switch (combo) {
    case ModeCombo::Pad:
        return apply == Apply::Change ? std::span<const LayoutRow>(kPadRows)
                                      : std::span<const LayoutRow>(kPadRefreshRows);
    case ModeCombo::Mouse0:
        return kMouse0Rows;
    case ModeCombo::Mouse1:
        return kMouse1Rows;
    case ModeCombo::Mouse2:
        return kMouse2Rows;
    case ModeCombo::Keyboard:
        return kKeyboardRows;
    case ModeCombo::KeyboardOne:
        return kOneColourRows;
    }
    return {};
}

constexpr LabelPair kLeftRight{"Deng_FXL_text", "Deng_FXR_text"};
constexpr LabelPair kUpDown{"Deng_FXU_text", "Deng_FXD_text"};
constexpr LabelPair kInOut{"Deng_FXJ_text", "Deng_FXK_text"};
constexpr LabelPair kUpDownOneColour{"Deng_FXUP_text", "Deng_FXDOWN_text"};
constexpr LabelPair kSpreadGather{"Deng_FXSPEAD_text", "Deng_FXGATHER_text"};

constexpr KeyboardRow lr() {
    return {kLeftRight, KeyboardGroup::Normal, false, false, 0};
}
constexpr KeyboardRow plain() {
    return {std::nullopt, KeyboardGroup::Normal, false, false, 0};
}

constexpr std::array<KeyboardRow, 19> kKeyboardExtras = {
    lr(),
    lr(),
    lr(),
    lr(),
    lr(),
    lr(),
    KeyboardRow{kLeftRight, KeyboardGroup::Normal, true, false, 0},
    lr(),
    KeyboardRow{std::nullopt, KeyboardGroup::Custom, false, false, 0},
    lr(),
    KeyboardRow{kUpDown, KeyboardGroup::Normal, false, false, 0},
    lr(),
    lr(),
    KeyboardRow{kInOut, KeyboardGroup::Normal, false, false, 0},
    lr(),
    KeyboardRow{std::nullopt, KeyboardGroup::Style, false, false, 6},
    KeyboardRow{kLeftRight, KeyboardGroup::Normal, false, false, 7},
    plain(),
    lr(),
};

constexpr std::array<KeyboardRow, 17> kOneColourExtras = {
    lr(),
    plain(),
    plain(),
    plain(),
    plain(),
    plain(),
    KeyboardRow{std::nullopt, KeyboardGroup::Custom, false, true, 0},
    lr(),
    plain(),
    plain(),
    KeyboardRow{kUpDownOneColour, KeyboardGroup::Normal, false, false, 0},
    plain(),
    plain(),
    KeyboardRow{kSpreadGather, KeyboardGroup::Normal, false, false, 0},
    lr(),
    lr(),
    lr(),
};

constexpr std::string_view kComboNames[] = {
    "mp_deng_combo_modeSelect",  "ms_deng_combo_modeSelect0", "ms_deng_combo_modeSelect1",
    "ms_deng_combo_modeSelect2", "kb_deng_combo_modeSelect",  "kb_deng_onecolor_combo_modeSelect"};

} // namespace

std::string_view comboName(ModeCombo combo) {
    return kComboNames[static_cast<std::size_t>(combo)];
}

std::optional<ModeCombo> comboNamed(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kComboNames); ++i) {
        if (kComboNames[i] == name) {
            return static_cast<ModeCombo>(i);
        }
    }
    return std::nullopt;
}

std::optional<LayoutRow> layoutRow(ModeCombo combo, int mode, Apply apply) {
    const std::span<const LayoutRow> rows = rowsOf(combo, apply);
    if (mode < 0 || static_cast<std::size_t>(mode) >= rows.size()) {
        return std::nullopt;
    }
    LayoutRow r = rows[static_cast<std::size_t>(mode)];
    if (apply == Apply::Refresh && combo == ModeCombo::Keyboard) {
        // The refresh leaves the speed layout of the keyboard's later
        // effects as it is, and shows mode 3 without speed.
        if ((mode >= 9 && mode <= 14) || mode == 18) {
            r.speed = Switch::Keep;
        } else if (mode == 3) {
            r.speed = Switch::Off;
        }
    }
    return r;
}

LayoutVisibility mouseVisibility(ModeCombo combo, int mode) {
    if (combo != ModeCombo::Mouse1) {
        return {};
    }
    switch (mode) {
    case 0:
        return {true, true};
    case 1:
        return {false, true};
    case 2:
        return {false, false};
    default:
        return {};
    }
}

std::optional<KeyboardRow> keyboardRow(ModeCombo combo, int mode) {
    if (mode < 0) {
        return std::nullopt;
    }
    const auto m = static_cast<std::size_t>(mode);
    if (combo == ModeCombo::Keyboard && m < kKeyboardExtras.size()) {
        return kKeyboardExtras[m];
    }
    if (combo == ModeCombo::KeyboardOne && m < kOneColourExtras.size()) {
        return kOneColourExtras[m];
    }
    return std::nullopt;
}

} // namespace quellix::lighting::pages

// The lighting pages' tables and colour rules, directly.

#include "quellix/lighting/pages/colour_values.h"
#include "quellix/lighting/pages/mode_tables.h"

#include <gtest/gtest.h>

namespace quellix::lighting::pages {
namespace {

constexpr Switch On = Switch::On, Off = Switch::Off, Keep = Switch::Keep;

bool same(const LayoutRow& a, const LayoutRow& b) {
    return a.fx == b.fx && a.colour == b.colour && a.multicolour == b.multicolour &&
           a.speed == b.speed && a.same == b.same;
}

TEST(ModeTables, RowsForChangeAndRefresh) {
    struct Case {
        ModeCombo combo;
        int mode;
        Apply apply;
        LayoutRow row;
    };
    const Case cases[] = {
        {ModeCombo::Pad, 0, Apply::Change, {On, On, On, On, On}},
        {ModeCombo::Pad, 6, Apply::Change, {On, Off, Off, On, Off}},
        {ModeCombo::Pad, 6, Apply::Refresh, {Off, Off, Off, On, Off}},
        {ModeCombo::Pad, 9, Apply::Change, {Off, On, On, Keep, Off}},
        {ModeCombo::Pad, 9, Apply::Refresh, {Keep, Keep, Keep, Keep, Keep}},
        {ModeCombo::Mouse2, 6, Apply::Change, {Off, On, On, On, Off}},
        {ModeCombo::Mouse0, 0, Apply::Change, {Off, Off, Off, On, Off}},
        {ModeCombo::Keyboard, 3, Apply::Change, {Off, On, Off, On, On}},
        {ModeCombo::Keyboard, 3, Apply::Refresh, {Off, On, Off, Off, On}},
        {ModeCombo::Keyboard, 12, Apply::Refresh, {Off, On, On, Keep, Off}},
        {ModeCombo::Keyboard, 15, Apply::Change, {Keep, On, On, On, Off}},
        {ModeCombo::Keyboard, 17, Apply::Change, {Keep, Keep, Keep, Keep, Keep}},
        {ModeCombo::KeyboardOne, 13, Apply::Change, {On, Off, Off, On, Off}},
    };
    for (const Case& c : cases) {
        const auto row = layoutRow(c.combo, c.mode, c.apply);
        ASSERT_TRUE(row) << comboName(c.combo) << " " << c.mode;
        EXPECT_TRUE(same(*row, c.row)) << comboName(c.combo) << " " << c.mode;
    }
    // Beyond a table nothing changes.
    for (auto [combo, mode] : {std::pair{ModeCombo::Pad, 10},
                               {ModeCombo::Mouse2, 7},
                               {ModeCombo::Mouse0, 6},
                               {ModeCombo::Keyboard, 19},
                               {ModeCombo::KeyboardOne, 17},
                               {ModeCombo::Pad, -1}}) {
        EXPECT_FALSE(layoutRow(combo, mode, Apply::Change)) << comboName(combo) << " " << mode;
    }
}

TEST(ModeTables, KeyboardExtras) {
    EXPECT_EQ(keyboardRow(ModeCombo::Keyboard, 10)->labels->left, "Deng_FXU_text");
    EXPECT_EQ(keyboardRow(ModeCombo::KeyboardOne, 13)->labels->right, "Deng_FXGATHER_text");
    EXPECT_FALSE(keyboardRow(ModeCombo::Keyboard, 8)->labels);
    EXPECT_EQ(keyboardRow(ModeCombo::Keyboard, 8)->group, KeyboardGroup::Custom);
    EXPECT_EQ(keyboardRow(ModeCombo::Keyboard, 15)->deviceMode, 6);
    EXPECT_EQ(keyboardRow(ModeCombo::Keyboard, 16)->deviceMode, 7);
    EXPECT_TRUE(keyboardRow(ModeCombo::Keyboard, 6)->enableColourLump);
    EXPECT_TRUE(keyboardRow(ModeCombo::KeyboardOne, 6)->oneColourCustom);
    for (int m = 0; m < 6; ++m) {
        const auto name = comboName(static_cast<ModeCombo>(m));
        EXPECT_EQ(comboNamed(name), static_cast<ModeCombo>(m)) << name;
    }
    EXPECT_FALSE(comboNamed("mp_deng_combo_profile"));
}

TEST(ColourValues, ChannelTextRule) {
    struct Case {
        const char* text;
        std::uint8_t value;
        const char* corrected; // nullptr: the text stays
    };
    const Case cases[] = {
        {"0", 0, nullptr},    {"255", 255, nullptr},
        {"256", 255, "255"},  {"300", 255, "255"},
        {"999", 255, "255"},  {"", 0, nullptr},
        {"abc", 0, nullptr},  {" 12", 12, nullptr},
        {"-1", 255, nullptr}, {"99999999999999999999", 255, "255"},
    };
    for (const Case& c : cases) {
        const ChannelText t = readChannelText(c.text);
        EXPECT_EQ(t.value, c.value) << c.text;
        EXPECT_EQ(t.corrected.has_value(), c.corrected != nullptr) << c.text;
        if (c.corrected != nullptr && t.corrected) {
            EXPECT_EQ(*t.corrected, c.corrected);
        }
    }
    EXPECT_EQ(withChannel(0x12345678u, Channel::Green, 0xAB), 0xFF34AB78u);
    EXPECT_EQ(argbOf(rgbOf(0x00102030u)), 0xFF102030u);
}

} // namespace
} // namespace quellix::lighting::pages

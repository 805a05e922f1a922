// The lighting pages in the running program, driven as a user would: the
// page's controls change the device's record, the profile on disk, the
// flags the main window keeps and the frames the simulated devices
// receive; same mode hands every device to the synchronised effect.

#include "../app/live_window.h"

#include "quellix/app/config_calls.h"
#include "quellix/app/lighting_pages_host.h"
#include "quellix/lighting/lighting_fields.h"
#include "quellix/profiles/profile_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace quellix::app::test {
namespace {

using device::DeviceKind;
using sim::Model;

class LightingPageTest : public ::testing::Test {
protected:
    void Open(std::initializer_list<Model> devices, std::uint16_t keyboardId = 0x7513) {
        live_.lightingTiming.startDelay = std::chrono::milliseconds(0);
        for (Model m : devices) {
            live_.simulator().plug(m, keyboardId);
        }
        live_.Open();
        // The window's own records, so that its lighting workers animate
        // what the page edits.
        calls_ = std::make_unique<ConfigCalls>(
            std::shared_ptr<config::DeviceConfigs>(std::shared_ptr<void>(),
                                                   &live_.window().Configs()),
            [this](DeviceKind kind) -> device::DeviceSession& {
                return live_.window().Session(kind);
            },
            [this](DeviceKind kind) {
                // Each kind's profiles in a folder of their own, as in the
                // program.
                const auto dir = profiles_.path() / std::string(device::kindPrefix(kind));
                std::filesystem::create_directories(dir);
                return dir;
            });
        InstallLightingPages(live_.window(), *calls_);
        for (Model m : devices) {
            const DeviceKind kind = m == Model::MousePad ? DeviceKind::MousePad
                                    : m == Model::Mouse  ? DeviceKind::Mouse
                                                         : DeviceKind::Keyboard;
            ASSERT_TRUE(live_.WaitFor([&] { return live_.Connected(kind); }));
        }
    }

    // Shows the kind's lighting page, as the tabs do.
    void Show(const char* tab, device::DeviceKind kind) {
        // The connection shows the tab and selects its page on the UI
        // thread: let it finish first.
        ASSERT_TRUE(live_.WaitFor([&] { return live_.Shown(tab); }));
        live_.WaitFor([] { return false; }, std::chrono::milliseconds(200));
        ASSERT_TRUE(user().Click(tab));
        live_.window().Page(ui::Feature::Lighting).Refresh(kind);
        live_.backend().Pump();
    }

    dui::UserDriver user() { return dui::UserDriver(live_.window(), live_.backend()); }
    std::span<platform::SharedByte> record(DeviceKind kind) {
        auto& configs = live_.window().Configs();
        switch (kind) {
        case DeviceKind::Keyboard:
            return configs.keyboard.record.span();
        case DeviceKind::Mouse:
            return configs.mouse.record.span();
        case DeviceKind::MousePad:
            break;
        }
        return configs.pad.record.span();
    }
    lighting::LightingFields fields(DeviceKind kind) {
        return lighting::readLightingFields(record(kind));
    }
    int changed(DeviceKind kind) {
        return live_.window().lightingChanged[device::kindIndex(kind)].load();
    }
    void clearChanged() {
        for (auto& flag : live_.window().lightingChanged) {
            flag = 0;
        }
    }
    std::size_t profileFiles() {
        std::size_t n = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(profiles_.path())) {
            if (entry.is_regular_file()) {
                ++n;
            }
        }
        for (const auto& dir : std::filesystem::directory_iterator(profiles_.path())) {
            for (const auto& file : std::filesystem::directory_iterator(dir.path())) {
                std::filesystem::remove(file.path());
            }
        }
        return n;
    }
    bool enabled(const char* name) { return user().IsEnabled(name); }
    bool selected(const char* name) { return live_.Selected(name); }

    // Waits until the device's last frame, in triplets, shows `colour`'s
    // channels lit and its dark channels dark.
    bool frameShows(Model model, lighting::Rgb colour) {
        return live_.WaitFor([&] {
            const auto frame = live_.simulator().stats(model).lastLedFrame;
            if (frame.size() < 3) {
                return false;
            }
            bool lit = false;
            for (std::size_t i = 0; i + 2 < frame.size(); i += 3) {
                const std::uint8_t want[] = {colour.r, colour.g, colour.b};
                for (int c = 0; c < 3; ++c) {
                    if ((frame[i + c] != 0) != (want[c] != 0)) {
                        return false;
                    }
                    lit = lit || frame[i + c] != 0;
                }
            }
            return lit;
        });
    }

    LiveWindow live_;
    platform::test::TempDir profiles_;
    std::unique_ptr<ConfigCalls> calls_;
};

TEST_F(LightingPageTest, PadControlsEditTheRecordFlagAndSave) {
    Open({Model::MousePad});
    Show("mp_tab", device::DeviceKind::MousePad);
    struct Case {
        const char* what;
        std::function<bool(dui::UserDriver&)> act;
        std::function<bool(const lighting::LightingFields&)> holds;
    };
    const Case cases[] = {
        {"brightness",
         [](auto& u) {
             return u.DragSlider("mp_deng_light_slider", {3, 2});
         },
         [](auto& f) { return f.brightness == 2; }},
        {"speed runs against the slider",
         [](auto& u) { return u.DragSlider("mp_deng_speed_slider", {4}); },
         [](auto& f) { return f.speed == 0; }},
        {"direction", [](auto& u) { return u.Click("mp_Deng_FXL_check"); },
         [](auto& f) { return f.direction == 1; }},
        {"multicolour", [](auto& u) { return u.Click("mp_Deng_7color_check"); },
         [](auto& f) { return f.multicolor == 1; }},
        {"palette", [](auto& u) { return u.PickColor("mp_deng_Color_Pallet", 0xFF00FF00); },
         [](auto& f) {
             return f.colour() == lighting::Rgb{0, 255, 0} && f.multicolor == 0;
         }},
        {"static effect", [](auto& u) { return u.SelectItem("mp_deng_combo_modeSelect", 3); },
         [](auto& f) { return f.mode == 3; }},
        {"preset 4", [](auto& u) { return u.Click("mp_Deng_color_btn_4"); },
         [](auto& f) {
             return f.colour() == lighting::Rgb{0, 0x8A, 0xFF} && f.multicolor == 0;
         }},
        {"typed blue", [](auto& u) { return u.Type("mp_Deng_edit_B", "17"); },
         [](auto& f) {
             return f.colour() == lighting::Rgb{0, 0x8A, 17};
         }},
    };
    for (const Case& c : cases) {
        clearChanged();
        profileFiles();
        dui::UserDriver u = user();
        ASSERT_TRUE(c.act(u)) << c.what;
        EXPECT_TRUE(c.holds(fields(DeviceKind::MousePad))) << c.what;
        EXPECT_EQ(changed(DeviceKind::MousePad), 1) << c.what;
        EXPECT_GE(profileFiles(), 1u) << c.what << ": nothing saved";
    }
    // The saved profile holds what the record holds.
    ASSERT_TRUE(user().DragSlider("mp_deng_light_slider", {3}));
    const auto saved = std::filesystem::directory_iterator(profiles_.path() / "mp");
    ASSERT_NE(saved, std::filesystem::directory_iterator());
    std::vector<std::uint8_t> payload(config::kPadLightingPayloadBytes);
    ASSERT_TRUE(profiles::readProfileFile(saved->path(), profiles::ReadMode::Exact,
                                          profiles::ProfileKind::MousePad, payload));
    for (std::size_t i = 1; i < lighting::kLightingFieldBytes; ++i) {
        EXPECT_EQ(payload[i], record(DeviceKind::MousePad)[i].load()) << "byte " << i;
    }
    EXPECT_EQ(payload[2], 3);
    // The colour display follows the record.
    EXPECT_EQ(live_.window().FindControl("mp_Deng_colordp_btn")->GetBkColor(), 0xFF008A11u);
    EXPECT_EQ(user().TextOf("mp_Deng_edit_G"), "138");
    EXPECT_TRUE(frameShows(Model::MousePad, {0, 0x8A, 17}));
}

TEST_F(LightingPageTest, MouseControlsSaveBothProfilesOrNone) {
    Open({Model::Mouse});
    Show("ms_tab", device::DeviceKind::Mouse);
    struct Case {
        const char* what;
        std::function<bool(dui::UserDriver&)> act;
        std::function<bool(const lighting::LightingFields&)> holds;
        std::size_t saved; // profile files written
    };
    const Case cases[] = {
        {"effect", [](auto& u) { return u.SelectItem("ms_deng_combo_modeSelect2", 4); },
         [](auto& f) { return f.mode == 4; }, 2},
        {"brightness saves nothing",
         [](auto& u) { return u.DragSlider("ms_deng_light_slider", {1}); },
         [](auto& f) { return f.brightness == 1; }, 0},
        {"left saves both", [](auto& u) { return u.Click("ms_Deng_FXL_check"); },
         [](auto& f) { return f.direction == 1; }, 2},
        {"right saves the lighting only", [](auto& u) { return u.Click("ms_Deng_FXR_check"); },
         [](auto& f) { return f.direction == 0; }, 1},
        {"palette", [](auto& u) { return u.PickColor("ms_deng_Color_Pallet", 0xFF102030); },
         [](auto& f) {
             return f.colour() == lighting::Rgb{0x10, 0x20, 0x30} && f.multicolor == 0;
         },
         2},
    };
    profileFiles();
    for (const Case& c : cases) {
        clearChanged();
        dui::UserDriver u = user();
        ASSERT_TRUE(c.act(u)) << c.what;
        EXPECT_TRUE(c.holds(fields(DeviceKind::Mouse))) << c.what;
        EXPECT_EQ(changed(DeviceKind::Mouse), 1) << c.what;
        EXPECT_EQ(profileFiles(), c.saved) << c.what;
    }
    // The travelling light of the left direction starts at the last cell
    // (placed in the wave, whose frames leave the marker alone).
    ASSERT_TRUE(user().SelectItem("ms_deng_combo_modeSelect2", 0));
    ASSERT_TRUE(user().Click("ms_Deng_FXL_check"));
    EXPECT_EQ(live_.window().Link().lighting.mouse.effect.ring.load(7), 1);
    EXPECT_FALSE(selected("ms_Deng_FXR_check"));
}

TEST_F(LightingPageTest, ChannelEditsTakeZeroTo255) {
    Open({Model::MousePad});
    Show("mp_tab", device::DeviceKind::MousePad);
    ASSERT_TRUE(user().Click("mp_Deng_7color_check"));
    ASSERT_TRUE(selected("mp_Deng_7color_check"));
    struct Case {
        const char* typed;
        const char* shown;
        std::uint8_t stored;
    };
    const Case cases[] = {
        {"300", "255", 255}, {"42", "42", 42}, {"7", "7", 7}, {"255", "255", 255}};
    for (const Case& c : cases) {
        auto* edit = live_.window().FindControl<dui::CEditUI>("mp_Deng_edit_R");
        edit->SetText("");
        ASSERT_TRUE(user().Type("mp_Deng_edit_R", c.typed));
        EXPECT_EQ(edit->GetText(), c.shown) << c.typed;
        EXPECT_EQ(fields(DeviceKind::MousePad).red, c.stored) << c.typed;
    }
    // Typing a colour takes multicolour off, the check with it.
    EXPECT_FALSE(selected("mp_Deng_7color_check"));
    EXPECT_EQ(fields(DeviceKind::MousePad).multicolor, 0);
}

TEST_F(LightingPageTest, ModeTableEnablesTheLayoutsAndRefreshKeepsThemInMode9) {
    Open({Model::MousePad, Model::Mouse});
    Show("mp_tab", device::DeviceKind::MousePad);
    ASSERT_TRUE(user().SelectItem("mp_deng_combo_modeSelect", 3));
    EXPECT_FALSE(enabled("mp_deng_speed_layout"));
    EXPECT_FALSE(enabled("mp_Deng_FXL_check")) << "a disabled layout disables its controls";
    EXPECT_TRUE(enabled("mp_deng_color_layout"));
    EXPECT_TRUE(enabled("mp_deng_same_mode"));
    ASSERT_TRUE(user().SelectItem("mp_deng_combo_modeSelect", 9));
    EXPECT_FALSE(enabled("mp_deng_fx_layout"));
    EXPECT_TRUE(enabled("mp_deng_7colorselect_layout"));
    EXPECT_FALSE(enabled("mp_deng_speed_layout")) << "mode 9 leaves speed as it was";
    EXPECT_FALSE(enabled("mp_deng_same_mode"));
    live_.window().Page(ui::Feature::Lighting).Refresh(device::DeviceKind::MousePad);
    EXPECT_FALSE(enabled("mp_deng_fx_layout"));
    EXPECT_FALSE(enabled("mp_deng_speed_layout"));
    EXPECT_EQ(live_.window().FindControl<dui::CComboUI>("mp_deng_combo_modeSelect")->GetCurSel(),
              9);
}

TEST_F(LightingPageTest, SameModeSynchronisesEveryDeviceUntilOneIsEdited) {
    Open({Model::MousePad, Model::Mouse, Model::Keyboard}, 0x763E);
    live_.window().Configs().keyboard.variant = 2;
    Show("mp_tab", device::DeviceKind::MousePad);
    ASSERT_TRUE(user().SelectItem("mp_deng_combo_modeSelect", 2));
    ASSERT_TRUE(user().Click("mp_Deng_color_btn_2")); // 0xFF6CFF00
    ASSERT_TRUE(user().DragSlider("mp_deng_light_slider", {3}));
    profileFiles();
    ASSERT_TRUE(user().Click("mp_deng_same_mode"));

    const lighting::LightingFields pad = fields(DeviceKind::MousePad);
    for (DeviceKind kind : {DeviceKind::Mouse, DeviceKind::Keyboard}) {
        const lighting::LightingFields f = fields(kind);
        EXPECT_EQ(f.mode, 2);
        EXPECT_EQ(f.brightness, pad.brightness);
        EXPECT_EQ(f.speed, pad.speed);
        EXPECT_EQ(f.direction, pad.direction);
        EXPECT_EQ(f.colour(), (lighting::Rgb{0x6C, 0xFF, 0x00}));
    }
    // The other pages show it, and the mouse's and keyboard's profiles took it.
    EXPECT_EQ(live_.window().FindControl<dui::CComboUI>("ms_deng_combo_modeSelect2")->GetCurSel(),
              2);
    EXPECT_EQ(live_.window().FindControl<dui::CComboUI>("kb_deng_combo_modeSelect")->GetCurSel(),
              2);
    EXPECT_GE(profileFiles(), 3u) << "mouse lighting, mouse device and keyboard lighting";
    const lighting::LightingFields sync =
        lighting::readSyncRecord(live_.window().Link().ownLightingRecords.sync.span());
    EXPECT_EQ(sync.mode, 2);
    EXPECT_EQ(sync.colour(), (lighting::Rgb{0x6C, 0xFF, 0x00}));

    // The main window's timer (virtual time here) leaves the three
    // synchronised: the refreshes of the other pages were no edits.
    auto synced = [&](DeviceKind kind) { return live_.window().Session(kind).syncActive.load(); };
    auto timerTicks = [&] {
        for (int i = 0; i < 3; ++i) {
            live_.backend().AdvanceTime(100);
            live_.backend().Pump();
        }
    };
    timerTicks();
    for (DeviceKind kind : device::kAllDeviceKinds) {
        EXPECT_EQ(synced(kind), 1) << device::kindName(kind);
    }
    // An edit on the mouse page hands the mouse back to its own worker at
    // the timer's next tick; the others stay synchronised.
    ASSERT_TRUE(user().Click("ms_tab"));
    ASSERT_TRUE(user().DragSlider("ms_deng_light_slider", {1}));
    EXPECT_EQ(synced(DeviceKind::Mouse), 1);
    timerTicks();
    EXPECT_EQ(synced(DeviceKind::Mouse), 0);
    EXPECT_EQ(synced(DeviceKind::MousePad), 1);
    EXPECT_EQ(synced(DeviceKind::Keyboard), 1);
}

TEST_F(LightingPageTest, KeyboardWritesItsOwnEffectsAndColour) {
    Open({Model::Keyboard}, 0x763E);
    live_.window().Configs().keyboard.variant = 2;
    Show("kb_tab", device::DeviceKind::Keyboard);
    auto byteAt = [&](std::uint16_t offset) {
        return live_.simulator().memory(Model::Keyboard, offset, 1)[0];
    };
    ASSERT_TRUE(user().SelectItem("kb_deng_combo_modeSelect", 15));
    EXPECT_EQ(byteAt(1), 6);
    EXPECT_TRUE(user().IsShown("kb_deng_style_tool_layout"));
    EXPECT_FALSE(user().IsShown("kb_deng_fx_layout"));
    ASSERT_TRUE(user().Click("kb_Deng_style_six_check"));
    EXPECT_EQ(byteAt(0x1E), 1);
    EXPECT_EQ(record(DeviceKind::Keyboard)[0x1E].load(), 1);

    ASSERT_TRUE(user().SelectItem("kb_deng_combo_modeSelect", 16));
    EXPECT_EQ(byteAt(1), 7);
    ASSERT_TRUE(user().Click("kb_Deng_7color_check"));
    EXPECT_EQ(byteAt(0x27), 1);
    EXPECT_EQ(byteAt(0x1D), 1);

    // A picked colour goes to both of the keyboard's colours.
    ASSERT_TRUE(user().SelectItem("kb_deng_combo_modeSelect", 10));
    EXPECT_EQ(user().TextOf("kb_Deng_label_FXL"),
              dui::CResourceManager::GetInstance()->GetText("Deng_FXU_text"));
    ASSERT_TRUE(user().Click("kb_Deng_color_btn_3")); // 0xFF7E00FF
    EXPECT_EQ(live_.simulator().memory(Model::Keyboard, 0x1A, 3),
              (std::vector<std::uint8_t>{0x7E, 0x00, 0xFF}));
    EXPECT_EQ(live_.simulator().memory(Model::Keyboard, 0x24, 3),
              (std::vector<std::uint8_t>{0x7E, 0x00, 0xFF}));
    EXPECT_EQ(live_.window().Session(DeviceKind::Keyboard).streamEnabled.load(), 1);
    EXPECT_EQ(fields(DeviceKind::Keyboard).colour(), (lighting::Rgb{0x7E, 0x00, 0xFF}));

    // A typed channel changes the record and the profile, not the keyboard.
    ASSERT_TRUE(user().SelectItem("kb_deng_combo_modeSelect", 2));
    profileFiles();
    ASSERT_TRUE(user().Type("kb_Deng_edit_G", "300"));
    EXPECT_EQ(user().TextOf("kb_Deng_edit_G"), "255");
    EXPECT_EQ(fields(DeviceKind::Keyboard).colour(), (lighting::Rgb{0x7E, 0xFF, 0xFF}));
    EXPECT_EQ(live_.simulator().memory(Model::Keyboard, 0x1A, 3),
              (std::vector<std::uint8_t>{0x7E, 0x00, 0xFF}));
    EXPECT_EQ(profileFiles(), 1u);
}

TEST_F(LightingPageTest, KeyboardCustomColoursPaintTheCurrentSet) {
    Open({Model::Keyboard}, 0x763E);
    live_.window().Configs().keyboard.variant = 2;
    Show("kb_tab", device::DeviceKind::Keyboard);
    ASSERT_TRUE(user().SelectItem("kb_deng_combo_modeSelect", 8));
    EXPECT_TRUE(user().IsShown("kb_deng_custom_tool_layout"));
    ASSERT_TRUE(user().SelectItem("kb_deng_combo_curtom_count", 1));
    const lighting::Rgb effectColour = fields(DeviceKind::Keyboard).colour();
    // The presets are hidden in this mode: the palette gives the paint colour.
    ASSERT_TRUE(user().PickColor("kb_deng_Color_Pallet", 0xFF6CFF00));
    auto& keyboard = live_.window().Configs().keyboard;
    EXPECT_EQ(keyboard.custom.load(0), 1);
    EXPECT_EQ(keyboard.custom.load(2), 0xFF);
    EXPECT_EQ(fields(DeviceKind::Keyboard).colour(), effectColour)
        << "the effect's colour is not the paint colour";

    // A picture key with an LED.
    const auto& leds = config::pictureToLed(2);
    const auto withLed = std::find_if(leds.begin() + 20, leds.end(),
                                      [](std::uint8_t l) { return l != config::kNoLed; });
    ASSERT_NE(withLed, leds.end());
    const std::uint8_t led = *withLed;
    ASSERT_TRUE(user().Click("kb_dkey_" + std::to_string(withLed - leds.begin())));
    const std::size_t at = config::kKeyColourSetBytes + 3 * led;
    EXPECT_EQ(keyboard.keyColours.load(at), 0x6C);
    EXPECT_EQ(keyboard.keyColours.load(at + 1), 0xFF);

    ASSERT_TRUE(user().Click("kb_Deng_all_kill_check"));
    EXPECT_EQ(keyboard.keyColours.load(at), 0);
    ASSERT_TRUE(user().Click("kb_Deng_all_bright_check"));
    EXPECT_FALSE(selected("kb_Deng_all_kill_check"));
    for (std::size_t k = 0; k < config::kKeyboardLeds; ++k) {
        ASSERT_EQ(keyboard.keyColours.load(config::kKeyColourSetBytes + 3 * k + 1), 0xFF) << k;
    }
    // Set 0 is untouched.
    EXPECT_EQ(keyboard.keyColours.load(3 * led + 1), 0);
}

} // namespace
} // namespace quellix::app::test

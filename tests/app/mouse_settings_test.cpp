// The mouse page's device settings on the real window: the refresh shows
// the record, the DPI and report-rate controls write to the simulated
// mouse, the wheel and pointer controls reach the desktop settings.

#include "live_window.h"

#include "quellix/app/device_pages.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/dui/toolkit.h"
#include "quellix/platform/debug.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>

#include <sys/stat.h>

namespace quellix::app {
namespace {

using device::DeviceKind;

class MouseSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        live_.Open();
        page_ = std::make_unique<MouseDevicePage>(live_.window(), calls_, desktop_);
        live_.simulator().plug(sim::Model::Mouse);
        ASSERT_TRUE(live_.WaitFor([&] { return live_.Connected(DeviceKind::Mouse); }));
        // The record as a device profile load would leave it: the mouse's
        // own slot 0.
        ASSERT_TRUE(config::readMouseImage(calls_.configs().mouse,
                                           live_.window().Session(DeviceKind::Mouse)));
        std::lock_guard hold(live_.window().Session(DeviceKind::Mouse).lock);
        calls_.configs().mouse.record.copyIn(
            calls_.configs().mouse.image.slot(0).first(config::kMouseRecordBytes));
    }

    void notify(const char* type, const char* control) {
        dui::TNotifyUI msg;
        msg.sType = type;
        msg.pSender = live_.window().FindControl(control);
        ASSERT_NE(msg.pSender, nullptr) << control;
        page_->OnNotify(msg);
    }
    std::string text(const char* control) { return live_.window().FindControl(control)->GetText(); }
    void setText(const char* control, const char* value) {
        live_.window().FindControl(control)->SetText(value);
    }

    test::LiveWindow live_;
    platform::test::TempDir profiles_;
    ConfigCalls calls_{
        std::make_shared<config::DeviceConfigs>(),
        [this](DeviceKind kind) -> device::DeviceSession& { return live_.window().Session(kind); },
        [this](DeviceKind) { return profiles_.path(); }};
    platform::RecordingDesktopSettings desktop_;
    std::unique_ptr<MouseDevicePage> page_;
};

TEST_F(MouseSettingsTest, RefreshShowsTheDpiStagesInTheirColours) {
    page_->Refresh(device::DeviceKind::Mouse);
    auto& w = live_.window();
    const char* values[] = {"800", "1600", "3200", "6400"};
    const dui::DWORD colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};
    for (int i = 1; i <= 4; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_EQ(text(("ms_DPI" + n + "_label_value").c_str()), values[i - 1]);
        EXPECT_EQ(w.FindControl("ms_DPIcolor_btn_" + n)->GetBkColor(), colours[i - 1]);
        EXPECT_EQ(w.FindControl<dui::CSliderUI>("ms_DPI" + n + "_slider")->GetMaxValue(), 73);
    }
    // Stage 2 is the active one.
    EXPECT_EQ(w.FindControl<dui::CLabelUI>("ms_DPI2_label_rank")->GetTextColor(), 0xFFFF0000);
    EXPECT_EQ(w.FindControl<dui::CLabelUI>("ms_DPI1_label_rank")->GetTextColor(), 0xFFFFFFFF);
    EXPECT_EQ(w.FindControl<dui::CComboUI>("ms_report_fct_combo")->GetCurSel(), 3);
    EXPECT_EQ(text("ms_DPI1_max"), "10000");
}

TEST_F(MouseSettingsTest, DpiReleaseWritesTheAbsoluteOffset) {
    page_->Refresh(device::DeviceKind::Mouse);
    calls_.configs().mouse.record.store(0, 2); // slot 2 is current
    live_.window().FindControl<dui::CSliderUI>("ms_DPI3_slider")->SetValue(40);
    notify(dui::DUI_MSGTYPE_VALUECHANGED, "ms_DPI3_slider");
    EXPECT_EQ(live_.simulator().memory(sim::Model::Mouse, 17, 1)[0], 40);
    EXPECT_NE(live_.simulator().memory(sim::Model::Mouse, 145, 1)[0], 40);
    EXPECT_EQ(text("ms_DPI3_label_value"), "4200");
    EXPECT_EQ(live_.window().lightingChanged[device::kindIndex(DeviceKind::Mouse)].load(), 1);
    EXPECT_TRUE(std::filesystem::exists(profiles_ / "0.config"));
}

TEST_F(MouseSettingsTest, ARefusedWriteIsShownWithItsReason) {
    page_->Refresh(DeviceKind::Mouse);
    live_.backend().Pump(); // the refresh's notifications are over
    auto& history = live_.backend().ModalHistory();
    struct Case {
        const char* what;
        std::function<void()> edit;
        const char* request;
    };
    const Case cases[] = {
        {"report rate",
         [&] {
             live_.window().FindControl<dui::CComboUI>("ms_report_fct_combo")->SelectItem(1, false);
             notify(dui::DUI_MSGTYPE_ITEMSELECT, "ms_report_fct_combo");
         },
         "command 6 at 0x000e"},
        {"DPI stage 3",
         [&] {
             live_.window().FindControl<dui::CSliderUI>("ms_DPI3_slider")->SetValue(40);
             notify(dui::DUI_MSGTYPE_VALUECHANGED, "ms_DPI3_slider");
         },
         "command 6 at 0x0011"},
    };
    for (const Case& c : cases) {
        live_.simulator().replyWithStatus(sim::Model::Mouse, 0xFF, 1);
        const std::size_t before = history.size();
        const auto mark = platform::debugSequence();
        c.edit();
        ASSERT_EQ(history.size(), before + 1) << c.what;
        const std::string& text = history.back().messageText;
        EXPECT_EQ(history.back().className, "MsgWnd") << c.what;
        // What failed, why (in the window's language) and which request.
        const auto& texts = dui::Toolkit::get().resources();
        EXPECT_THAT(text, ::testing::HasSubstr(texts.GetText("message_device_failed"))) << c.what;
        EXPECT_THAT(text, ::testing::HasSubstr(texts.GetText("result_rejected"))) << c.what;
        EXPECT_THAT(text, ::testing::HasSubstr(c.request)) << c.what;
        // The debug output has one line for it.
        const auto lines = platform::debugLinesSince(mark);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& line) {
                                    return line.find("rejected") != std::string::npos;
                                }),
                  1)
            << c.what;
    }
}

TEST_F(MouseSettingsTest, ARefreshThatCannotSaveShowsNoBox) {
    // The profile files cannot be written; a refresh sets the controls,
    // whose notifications are nobody's edit: logged, not shown.
    ASSERT_EQ(::mkfifo((profiles_ / "0.config").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((profiles_ / "0.led").c_str(), 0600), 0);
    calls_.configs().mouse.record.store(config::mouse_field::kReportRate, 1);
    const std::size_t before = live_.backend().ModalHistory().size();
    page_->Refresh(DeviceKind::Mouse);
    // The refresh's own notifications, as the window would hand them on.
    notify(dui::DUI_MSGTYPE_ITEMSELECT, "ms_report_fct_combo");
    notify(dui::DUI_MSGTYPE_VALUECHANGED, "ms_point_speed_slider");
    EXPECT_EQ(live_.backend().ModalHistory().size(), before);
    live_.backend().Pump();
    // The same control changed by the user shows the failure.
    live_.window().FindControl<dui::CComboUI>("ms_report_fct_combo")->SelectItem(2, false);
    notify(dui::DUI_MSGTYPE_ITEMSELECT, "ms_report_fct_combo");
    EXPECT_EQ(live_.backend().ModalHistory().size(), before + 1);
}

TEST_F(MouseSettingsTest, DpiColourButtonTakesTheDialogsChoiceOnlyWhenConfirmed) {
    page_->Refresh(device::DeviceKind::Mouse);
    auto& w = live_.window();
    const auto deviceColour = live_.simulator().memory(sim::Model::Mouse, 23, 3);
    struct Case {
        const char* button;
        const char* closeWith;
        dui::DWORD shown;       // the button's colour afterwards
        std::uint8_t stored[3]; // the stage's bytes in the record
        bool saved;
    };
    const Case cases[] = {
        // Cancelled: the button and the record keep the stage's green.
        {"closebtn", "closebtn", 0xFF00FF00, {0x00, 0xFF, 0x00}, false},
        // Preset 3 of the dialog's table, confirmed.
        {"okbtn", "okbtn", 0xFF7E00FF, {0x7E, 0x00, 0xFF}, true},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(profiles_ / "0.config");
        live_.backend().OnNextModal("UIPalletDialog",
                                    {[&](dui::WindowImplBase& dialog, dui::HeadlessBackend& b) {
                                        dui::UserDriver user(dialog, b);
                                        user.Click("ms_dpi_color_png_3");
                                        user.Click(c.closeWith);
                                    }});
        w.lightingChanged[device::kindIndex(DeviceKind::Mouse)] = 0;
        notify(dui::DUI_MSGTYPE_CLICK, "ms_DPIcolor_btn_2");
        EXPECT_EQ(w.FindControl("ms_DPIcolor_btn_2")->GetBkColor(), c.shown) << c.button;
        EXPECT_EQ(calls_.configs().mouse.record.load(23), c.stored[0]) << c.button;
        EXPECT_EQ(calls_.configs().mouse.record.load(24), c.stored[1]) << c.button;
        EXPECT_EQ(calls_.configs().mouse.record.load(25), c.stored[2]) << c.button;
        EXPECT_EQ(std::filesystem::exists(profiles_ / "0.config"), c.saved) << c.button;
        EXPECT_EQ(w.lightingChanged[device::kindIndex(DeviceKind::Mouse)].load(), c.saved ? 1 : 0);
    }
    // The colour stays on the host: the mouse's own copy is unchanged.
    EXPECT_EQ(live_.simulator().memory(sim::Model::Mouse, 23, 3), deviceColour);
}

TEST_F(MouseSettingsTest, WheelSpeedButtonsAndEdit) {
    struct Case {
        const char* before;
        const char* control;
        const char* type;
        const char* after;
    };
    const Case cases[] = {
        {"0", "ms_gunlun_speed_up_btn", dui::DUI_MSGTYPE_CLICK, "2"},
        {"100", "ms_gunlun_speed_up_btn", dui::DUI_MSGTYPE_CLICK, "100"},
        {"1", "ms_gunlun_speed_down_btn", dui::DUI_MSGTYPE_CLICK, "1"},
        {"7", "ms_gunlun_speed_down_btn", dui::DUI_MSGTYPE_CLICK, "6"},
        {"250", "ms_gunlun_speed_edit", dui::DUI_MSGTYPE_TEXTCHANGED, "100"},
        {"abc", "ms_gunlun_speed_edit", dui::DUI_MSGTYPE_TEXTCHANGED, "1"},
    };
    for (const auto& c : cases) {
        setText("ms_gunlun_speed_edit", c.before);
        notify(c.type, c.control);
        EXPECT_EQ(text("ms_gunlun_speed_edit"), c.after) << c.before << " " << c.control;
        EXPECT_EQ(std::to_string(calls_.configs().mouse.wheelSpeed.load()), c.after);
        EXPECT_EQ(std::to_string(desktop_.wheelLines.back()), c.after);
    }
}

TEST_F(MouseSettingsTest, PointerSpeedIsKeptWithTheProfilesOnly) {
    live_.window().FindControl<dui::CSliderUI>("ms_point_speed_slider")->SetValue(7);
    notify(dui::DUI_MSGTYPE_VALUECHANGED, "ms_point_speed_slider");
    EXPECT_EQ(calls_.configs().mouse.pointerSpeed.load(), 16);
    EXPECT_TRUE(desktop_.pointerSpeeds.empty());
}

TEST_F(MouseSettingsTest, ResetSetsTheDesktopAndResetsTheMouse) {
    const auto resets = live_.simulator().stats(sim::Model::Mouse).resets;
    notify(dui::DUI_MSGTYPE_CLICK, "ms_one_profile_default");
    EXPECT_EQ(desktop_.pointerSpeeds, std::vector<int>{10});
    EXPECT_EQ(desktop_.wheelLines, std::vector<int>{3});
    EXPECT_EQ(text("ms_gunlun_speed_edit"), "3");
    EXPECT_EQ(live_.window().FindControl<dui::CSliderUI>("ms_point_speed_slider")->GetValue(), 5);
    EXPECT_EQ(live_.simulator().stats(sim::Model::Mouse).resets, resets + 1);
}

TEST_F(MouseSettingsTest, SlotButtonSwitchesTheMouse) {
    notify(dui::DUI_MSGTYPE_CLICK, "ms_profile_3");
    EXPECT_EQ(live_.simulator().memory(sim::Model::Mouse, 0, 1)[0], 3);
    EXPECT_EQ(calls_.configs().mouse.record.load(0), 3);
}

TEST(DesktopSettings, PointerAccelerationScale) {
    EXPECT_EQ(platform::accelerationForSpeed(10), (platform::PointerAcceleration{10, 10, 4}));
    EXPECT_EQ(platform::accelerationForSpeed(0), (platform::PointerAcceleration{1, 10, 4}));
    EXPECT_EQ(platform::accelerationForSpeed(99), (platform::PointerAcceleration{20, 10, 4}));
}

} // namespace
} // namespace quellix::app

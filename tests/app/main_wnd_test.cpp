#include <gtest/gtest.h>

#include "quellix/app/application.h"
#include "quellix/app/main_wnd.h"
#include "quellix/dui/container.h"
#include "quellix/dui/headless.h"
#include "quellix/hid/device.h"
#include "quellix/ui/custom_controls.h"
#include "temp_dir.h"

namespace quellix::app {
namespace {

TEST(CreateControlTable, SubLayoutsByClassNameInAnyCase) {
    struct Case {
        const char* className;
        const char* file; // nullptr: not a sub-layout
    };
    for (const auto& c :
         {Case{"kb_Key_UI", "keyboard_key.xml"}, Case{"MS_Deng_UI", "Mouse_deng.xml"},
          Case{"ms_deng_ui", "Mouse_deng.xml"}, Case{"KB_CURSOR_UI", "Mouse_cursor.xml"},
          Case{"MP_deng_UI", "MousePad_deng.xml"}, Case{"CircleProgress", nullptr},
          Case{"Button", nullptr}}) {
        const auto file = SubLayoutFor(c.className);
        if (c.file == nullptr) {
            EXPECT_FALSE(file.has_value()) << c.className;
        } else {
            EXPECT_EQ(file, c.file) << c.className;
        }
    }
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // No device: the workers look at an empty simulator directory.
        window.SetDeviceSource(hid::DeviceSource::simulator(noDevices.path()));
        ASSERT_TRUE(SetUpResources(toolkit, APP_TEST_DATA));
        ASSERT_NE(window.Create(dui::kNullWindow, kMainWindowTitle, kMainWindowStyle, 0, 0, 0,
                                kMainWindowWidth, kMainWindowHeight),
                  dui::kNullWindow)
            << (window.GetBuildErrors().empty() ? "" : window.GetBuildErrors().back());
        window.CenterWindow();
        window.ShowWindow(true);
        backend.Pump();
    }
    void TearDown() override {
        if (dui::IsWindow(window.GetHWND())) {
            window.DestroyWindow();
        }
    }

    platform::test::TempDir noDevices;

    dui::HeadlessBackend backend;
    dui::Toolkit toolkit{backend};
    CMainWnd window;
};

TEST_F(MainWindowTest, InitWindowCachesControlsAndSetsUpTheShell) {
    EXPECT_EQ(window.GetTitle(), kMainWindowTitle);
    const dui::RECT rc = window.GetWindowRect();
    EXPECT_EQ(rc.width(), 800);
    EXPECT_EQ(rc.height(), 572);
    EXPECT_EQ(rc.left, (1920 - 800) / 2); // centred on the work area

    EXPECT_EQ(window.CaptionButtonAt(CMainWnd::kClose), window.FindControl("closebtn"));
    EXPECT_NE(window.CaptionButtonAt(CMainWnd::kRestore), nullptr);
    EXPECT_NE(window.MouseKeyButton(0), nullptr);
    EXPECT_EQ(window.MouseKeyButton(1), nullptr); // missing names cache nothing
    EXPECT_NE(window.MouseKeyButton(19), nullptr);
    EXPECT_NE(window.PadKeyButton(14), nullptr);
    EXPECT_NE(dynamic_cast<ui::CDeviceKeyButtonUI*>(window.KeyboardKeyButton(125)), nullptr);
    EXPECT_NE(dynamic_cast<ui::CCircleProgressUI*>(window.FindControl("setting_progress")),
              nullptr);

    // The sub-layout named by a lower-case class was built in place.
    for (const char* palette :
         {"ms_deng_Color_Pallet", "mp_deng_Color_Pallet", "kb_deng_Color_Pallet"}) {
        auto* control = window.FindControl<dui::CColorPaletteUI>(palette);
        ASSERT_NE(control, nullptr) << palette;
        EXPECT_EQ(control->GetSelectColor(), kPalettePreselect) << palette;
    }

    EXPECT_EQ(dui::UserDriver(window, backend).TextOf("title"), "驱动");
    EXPECT_TRUE(backend.IsTrayIconShown());
    EXPECT_EQ(backend.TrayTip(), kTrayTip);
    EXPECT_EQ(backend.TrayOwner(), window.GetHWND());
    EXPECT_EQ(MainWindowHandle(), window.GetHWND());
    EXPECT_EQ(toolkit.dpiAwareness(), 1);
}

TEST_F(MainWindowTest, PowerProgressAndEditedLightingMessagesAndTimers) {
    const dui::HWND handle = window.GetHWND();
    // Suspend stops the lighting frames, the automatic resume brings them back.
    dui::SendMessage(handle, dui::WM_POWERBROADCAST, dui::PBT_APMSUSPEND, 0);
    EXPECT_EQ(window.framesEnabled.load(), 0);
    dui::SendMessage(handle, dui::WM_POWERBROADCAST, dui::PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_EQ(window.framesEnabled.load(), 1);

    // The progress indicator around an upload: shown, then hidden a second
    // after the upload said it was done.
    if (auto* progress = window.FindControl("setting_progress")) {
        dui::SendMessage(handle, kMsgShowProgress);
        EXPECT_TRUE(progress->IsOwnVisible());
        dui::SendMessage(handle, kMsgHideProgressSoon);
        backend.AdvanceTime(999);
        EXPECT_TRUE(progress->IsOwnVisible());
        backend.AdvanceTime(1);
        EXPECT_FALSE(progress->IsOwnVisible());
    }

    // A kind whose lighting was edited leaves the synchronised effect at
    // the next tick of the 100 ms timer; the others stay in it.
    for (auto kind : device::kAllDeviceKinds) {
        window.Session(kind).syncActive = 1;
    }
    window.MarkLightingChanged(device::DeviceKind::Mouse);
    backend.AdvanceTime(100);
    EXPECT_EQ(window.Session(device::DeviceKind::Mouse).syncActive.load(), 0);
    EXPECT_EQ(window.lightingChanged[device::kindIndex(device::DeviceKind::Mouse)].load(), 0);
    EXPECT_EQ(window.Session(device::DeviceKind::Keyboard).syncActive.load(), 1);
    EXPECT_EQ(window.Session(device::DeviceKind::MousePad).syncActive.load(), 1);
    // The timer rests between edits; a later edit still ends its kind's
    // effect within the period.
    backend.AdvanceTime(1000);
    window.MarkLightingChanged(device::DeviceKind::Keyboard);
    backend.AdvanceTime(100);
    EXPECT_EQ(window.Session(device::DeviceKind::Keyboard).syncActive.load(), 0);
    EXPECT_EQ(window.Session(device::DeviceKind::MousePad).syncActive.load(), 1);
}

TEST_F(MainWindowTest, PageTabsSelectPagesAndCloseEndsTheRun) {
    window.ShowWindow(true); // the start-up hid it: no device is attached
    dui::UserDriver user(window, backend);
    EXPECT_TRUE(user.Click("ms_tab"));
    EXPECT_EQ(window.FindControl<dui::CTabLayoutUI>("tab_switch")->GetCurSel(), 1);
    EXPECT_TRUE(user.Click("minbtn"));
    EXPECT_TRUE(window.IsMinimized());

    const dui::HWND handle = window.GetHWND();
    EXPECT_TRUE(user.Click("closebtn"));
    EXPECT_FALSE(dui::IsWindow(handle));
    EXPECT_TRUE(backend.IsQuitRequested());
    EXPECT_EQ(backend.ExitCode(), 0);
    EXPECT_FALSE(backend.IsTrayIconShown());
}

// The skin the program ships: every layout builds and the controls the
// main window relies on are there.
TEST(ShippedSkin, MainWindowBuildsWithEverythingItCaches) {
    dui::HeadlessBackend backend;
    dui::Toolkit toolkit(backend);
    ASSERT_TRUE(SetUpResources(toolkit, SHIPPED_SKIN_DIR));
    CMainWnd window;
    ASSERT_NE(window.Create(dui::kNullWindow, kMainWindowTitle, kMainWindowStyle, 0, 0, 0,
                            kMainWindowWidth, kMainWindowHeight),
              dui::kNullWindow);
    EXPECT_TRUE(window.GetBuildErrors().empty())
        << (window.GetBuildErrors().empty() ? "" : window.GetBuildErrors().front());
    EXPECT_EQ(window.GetWindowRect().width(), kMainWindowWidth);
    EXPECT_EQ(window.GetWindowRect().height(), kMainWindowHeight);
    for (int i = 0; i < CMainWnd::kCaptionButtonCount; ++i) {
        EXPECT_NE(window.CaptionButtonAt(CMainWnd::CaptionButton(i)), nullptr) << i;
    }
    for (int i = 0; i < CMainWnd::kMouseKeyButtons; ++i) {
        EXPECT_NE(window.MouseKeyButton(i), nullptr) << "ms_dkey_" << i;
    }
    for (int i = 0; i < CMainWnd::kPadKeyButtons; ++i) {
        EXPECT_NE(window.PadKeyButton(i), nullptr) << "mp_dkey_" << i;
    }
    EXPECT_NE(window.KeyboardKeyButton(0), nullptr);
    EXPECT_NE(dynamic_cast<ui::CCircleProgressUI*>(window.FindControl("setting_progress")),
              nullptr);
    for (const char* palette :
         {"ms_deng_Color_Pallet", "mp_deng_Color_Pallet", "kb_deng_Color_Pallet"}) {
        auto* control = window.FindControl<dui::CColorPaletteUI>(palette);
        ASSERT_NE(control, nullptr) << palette;
        EXPECT_EQ(control->GetSelectColor(), kPalettePreselect) << palette;
    }
    window.DestroyWindow();
}

TEST(CommandLine, OptionsAndErrors) {
    auto parsed = ParseCommandLine({});
    EXPECT_TRUE(parsed.error.empty());
    EXPECT_FALSE(parsed.options.simulate);

    parsed = ParseCommandLine({"--simulate"});
    EXPECT_EQ(parsed.options.simulatedDevices,
              (std::vector<std::string>{"mouse", "pad", "keyboard"}));

    parsed = ParseCommandLine(
        {"--simulate=pad,mouse", "--screenshot", "out.png", "--exit-after-paint=1500"});
    ASSERT_TRUE(parsed.error.empty()) << parsed.error;
    EXPECT_EQ(parsed.options.simulatedDevices, (std::vector<std::string>{"pad", "mouse"}));
    EXPECT_EQ(parsed.options.screenshotPath, "out.png");
    EXPECT_TRUE(parsed.options.exitAfterPaint);
    EXPECT_EQ(parsed.options.exitDelayMs, 1500);

    parsed = ParseCommandLine({"--page=mouse", "--hidden"});
    EXPECT_EQ(parsed.options.page, "mouse");
    EXPECT_TRUE(parsed.options.hidden);
    EXPECT_STREQ(PageOptionName("keyboard"), "kb_tab");

    for (const char* bad : {"--simulate=mouse,toaster", "--screenshot", "--bogus",
                            "--exit-after-paint=soon", "--skin=", "--page=toaster", "--page"}) {
        EXPECT_FALSE(ParseCommandLine({bad}).error.empty()) << bad;
    }
}

} // namespace
} // namespace quellix::app

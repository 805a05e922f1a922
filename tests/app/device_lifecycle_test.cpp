// The program living with its devices: detection, listeners, the connect
// and removal sequences and the window rules, through the simulator's
// sockets and the real HID code path.

#include "live_window.h"

#include "quellix/platform/debug.h"

#include <gmock/gmock.h>

namespace quellix::app::test {
namespace {

using device::DeviceKind;
using sim::Model;
using ::testing::Contains;

// How many message boxes showed the text of `key`.
int modalCount(dui::HeadlessBackend& backend, const char* key) {
    const auto text = dui::CResourceManager::GetInstance()->GetText(key);
    int count = 0;
    for (const auto& record : backend.ModalHistory()) {
        count += record.messageText == text ? 1 : 0;
    }
    return count;
}

bool modalShown(dui::HeadlessBackend& backend, const char* key) {
    return modalCount(backend, key) > 0;
}

TEST(DeviceLifecycle, OnlyThePadAtStartShowsTheWindowOnItsPage) {
    LiveWindow live;
    live.simulator().plug(Model::MousePad);
    auto& padPage = live.record(ui::Feature::PadDevice);
    live.Open();

    ASSERT_TRUE(live.WaitFor([&] { return live.window().IsWindowVisible() && live.Page() == 2; }));
    EXPECT_TRUE(live.Connected(DeviceKind::MousePad));
    EXPECT_TRUE(live.Selected("mp_tab"));
    EXPECT_TRUE(live.Shown("mp_tab"));
    // The connect sequence in its order; the pad page was refreshed.
    ASSERT_TRUE(live.WaitFor([&] { return live.Called("loadPadLighting 0"); }));
    const auto calls = live.Calls();
    EXPECT_EQ(calls.front(), "readPadImage");
    EXPECT_THAT(padPage.events, Contains("refresh 2"));
    EXPECT_FALSE(live.Connected(DeviceKind::Mouse));
    EXPECT_FALSE(live.Connected(DeviceKind::Keyboard));
    EXPECT_FALSE(modalShown(live.backend(), "message_text_1"));
}

TEST(DeviceLifecycle, KeyboardIsFoundOnItsConfigurationInterfaceWithItsVariant) {
    struct Case {
        std::uint16_t product;
        int variant;
    };
    for (const Case c : {Case{0x763E, 2}, Case{0x7513, 0}, Case{0x0632, 1}}) {
        SCOPED_TRACE(c.product);
        LiveWindow live;
        live.simulator().plug(Model::Keyboard, c.product);
        live.Open();
        ASSERT_TRUE(live.WaitFor([&] { return live.Called("readKeyboardImage"); }));
        // The consumer interface (same ids, usage page 12) was passed over.
        const auto& hid = live.window().Session(DeviceKind::Keyboard).hid;
        EXPECT_EQ(hid.caps.usagePage, 0xFF1C);
        EXPECT_EQ(hid.attributes.productId, c.product);
        EXPECT_TRUE(live.Called("variant " + std::to_string(c.variant)));
        ASSERT_TRUE(live.WaitFor([&] { return live.Page() == 0 && live.Selected("kb_tab"); }));
    }
}

TEST(DeviceLifecycle, UnpluggedMouseHandsThePageToTheKeyboard) {
    LiveWindow live;
    live.simulator().plug(Model::Keyboard);
    live.simulator().plug(Model::Mouse);
    live.Open();
    ASSERT_TRUE(live.WaitFor([&] {
        return live.Connected(DeviceKind::Mouse) && live.Connected(DeviceKind::Keyboard) &&
               live.Shown("ms_tab");
    }));
    // Both present: each one's same-mode button is offered.
    ASSERT_TRUE(live.WaitFor(
        [&] { return live.Visible("ms_deng_same_mode") && live.Visible("kb_deng_same_mode"); }));

    live.simulator().unplug(Model::Mouse);
    ASSERT_TRUE(live.WaitFor([&] { return !live.Connected(DeviceKind::Mouse); }));
    ASSERT_TRUE(live.WaitFor([&] { return !live.Visible("ms_tab") && live.Selected("kb_tab"); }));
    EXPECT_EQ(live.Page(), 0);
    EXPECT_TRUE(live.Visible("kb_tab"));
    EXPECT_TRUE(live.window().IsWindowVisible());
    // The keyboard alone: its same-mode button goes.
    EXPECT_TRUE(live.WaitFor([&] { return !live.Visible("kb_deng_same_mode"); }));
    EXPECT_FALSE(modalShown(live.backend(), "message_text_20"));
}

TEST(DeviceLifecycle, LastDeviceGoneHidesTheWindow) {
    struct Case {
        Model model;
        DeviceKind kind;
        bool saysSo; // the mouse explains itself with a message box
    };
    for (const Case c : {Case{Model::Mouse, DeviceKind::Mouse, true},
                         Case{Model::MousePad, DeviceKind::MousePad, false},
                         Case{Model::Keyboard, DeviceKind::Keyboard, false}}) {
        SCOPED_TRACE(int(c.kind));
        LiveWindow live;
        live.simulator().plug(c.model);
        live.Open();
        ASSERT_TRUE(live.WaitFor([&] { return live.window().IsWindowVisible(); }));
        ASSERT_TRUE(live.Connected(c.kind));

        live.simulator().unplug(c.model);
        ASSERT_TRUE(live.WaitFor([&] { return !live.window().IsWindowVisible(); }));
        EXPECT_FALSE(live.Connected(c.kind));
        EXPECT_EQ(modalShown(live.backend(), "message_text_20"), c.saysSo);
    }
}

TEST(DeviceLifecycle, ReplugIsFoundAgainAndReadAgain) {
    LiveWindow live;
    live.simulator().plug(Model::Mouse);
    live.Open();
    ASSERT_TRUE(live.WaitFor([&] { return live.Called("readMouseImage"); }));
    live.simulator().unplug(Model::Mouse);
    ASSERT_TRUE(live.WaitFor([&] { return !live.Connected(DeviceKind::Mouse); }));
    live.simulator().plug(Model::Mouse);
    ASSERT_TRUE(live.WaitFor([&] { return live.Connected(DeviceKind::Mouse); }));
    ASSERT_TRUE(live.WaitFor([&] {
        int reads = 0;
        for (const auto& call : live.Calls()) {
            reads += call == "readMouseImage" ? 1 : 0;
        }
        // The window stayed in the tray after the last device went away.
        return reads == 2 && live.Visible("ms_tab") && live.Selected("ms_tab");
    }));
}

TEST(DeviceLifecycle, DeviceAnnouncementsBecomeMessagesAndFlashTriggers) {
    LiveWindow live;
    live.simulator().plug(Model::Keyboard);
    live.simulator().plug(Model::Mouse);
    auto& keyboard = live.record(ui::Feature::KeyboardDevice);
    auto& mouse = live.record(ui::Feature::MouseDevice);
    live.Open();
    ASSERT_TRUE(live.WaitFor(
        [&] { return live.Connected(DeviceKind::Mouse) && live.Connected(DeviceKind::Keyboard); }));

    // The listeners open their interfaces on their own schedule: repeat
    // the announcement until it is heard.
    auto announceUntilHeard = [&](Model model, std::uint16_t usage, auto heard) {
        return live.WaitFor([&] {
            if (heard()) {
                return true;
            }
            live.simulator().notify(model, usage);
            live.backend().Pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return heard();
        });
    };
    const auto has = [](const RecordingPage& page, const std::string& event) {
        return std::find(page.events.begin(), page.events.end(), event) != page.events.end();
    };
    EXPECT_TRUE(
        announceUntilHeard(Model::Keyboard, 0x402, [&] { return has(keyboard, "message 2817"); }));
    EXPECT_TRUE(
        announceUntilHeard(Model::Keyboard, 0x401, [&] { return has(keyboard, "message 2818"); }));
    EXPECT_TRUE(
        announceUntilHeard(Model::Mouse, 0x402, [&] { return has(mouse, "message 2305"); }));
    EXPECT_TRUE(
        announceUntilHeard(Model::Mouse, 0x401, [&] { return has(mouse, "message 2306"); }));
    auto& lighting = live.window().Link().lighting;
    EXPECT_TRUE(announceUntilHeard(Model::Mouse, 0x403, [&] {
        return lighting.pad.flash.trigger.load() != 0 && lighting.mouse.flash.trigger.load() != 0;
    }));
}

TEST(DeviceLifecycle, NoDeviceKeepsTheWindowHiddenAndSaysSoOnce) {
    LiveWindow live;
    live.Open();
    auto& window = live.window();
    const dui::UINT showMessage = window.ShowWindowMessageId();
    EXPECT_FALSE(window.IsWindowVisible()); // hidden by the start-up

    // While the box is open a second request opens no second box.
    live.backend().OnNextModal("MsgWnd", {[&](dui::WindowImplBase&, dui::HeadlessBackend&) {
                                              dui::SendMessage(window.GetHWND(), showMessage);
                                          },
                                          0});
    dui::PostMessage(window.GetHWND(), showMessage, 0, 0);
    live.backend().Pump();
    EXPECT_FALSE(window.IsWindowVisible());
    EXPECT_EQ(modalCount(live.backend(), "message_text_1"), 1);

    // The tray click has its own guard, and says the same.
    EXPECT_TRUE(live.backend().ClickTray(dui::WM_LBUTTONUP));
    live.backend().Pump();
    EXPECT_FALSE(window.IsWindowVisible());
    EXPECT_EQ(modalCount(live.backend(), "message_text_1"), 2);
}

TEST(DeviceLifecycle, WithADeviceTheShowRequestAndTheTrayBringTheWindowBack) {
    LiveWindow live;
    live.simulator().plug(Model::MousePad);
    live.Open();
    auto& window = live.window();
    ASSERT_TRUE(live.WaitFor([&] { return window.IsWindowVisible(); }));

    window.ShowWindow(false);
    dui::PostMessage(window.GetHWND(), window.ShowWindowMessageId(), 0, 0);
    live.backend().Pump();
    EXPECT_TRUE(window.IsWindowVisible());

    window.ShowWindow(false);
    const int paints = live.backend().InvalidateCount(window.GetHWND());
    EXPECT_TRUE(live.backend().ClickTray(dui::WM_LBUTTONUP));
    live.backend().Pump();
    EXPECT_TRUE(window.IsWindowVisible());
    EXPECT_TRUE(window.HasTimer(kTimerConnectedRepaint));
    live.backend().AdvanceTime(10); // the repaint 10 ms after the click
    EXPECT_FALSE(window.HasTimer(kTimerConnectedRepaint));
    EXPECT_GT(live.backend().InvalidateCount(window.GetHWND()), paints);
    EXPECT_FALSE(modalShown(live.backend(), "message_text_1"));
}

TEST(DeviceLifecycle, StartedHiddenTheFoundDeviceLeavesTheWindowInTheTray) {
    LiveWindow live;
    live.simulator().plug(Model::MousePad);
    live.Open(/*startHidden=*/true);
    ASSERT_TRUE(live.WaitFor([&] { return live.Called("loadPadLighting 0"); }));
    // Let the detection worker's show request reach the window.
    live.WaitFor([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_FALSE(live.window().IsWindowVisible());
    // Asked by the user (a second start, the tray), it comes up.
    dui::PostMessage(live.window().GetHWND(), live.window().ShowWindowMessageId(), 0, 0);
    EXPECT_TRUE(live.WaitFor([&] { return live.window().IsWindowVisible(); }));
}

TEST(DeviceLifecycle, ShutdownStopsEveryWorkerWithItsTrace) {
    LiveWindow live;
    live.simulator().plug(Model::Mouse);
    live.simulator().plug(Model::Keyboard);
    live.Open();
    ASSERT_TRUE(live.WaitFor([&] { return live.Connected(DeviceKind::Mouse); }));
    const auto mark = platform::debugSequence();
    live.window().DestroyWindow();
    EXPECT_TRUE(live.backend().IsQuitRequested());
    const auto lines = platform::debugLinesSince(mark);
    for (const char* trace : {"退出测试", "键盘设备侦测线程设定退出", "鼠标设备侦测线程设定退出",
                              "鼠标垫设备侦测线程设定退出", "鼠标同步线程设定测试退出",
                              "键盘同步线程设定退出", "所有对象处于激发状态\n"}) {
        EXPECT_THAT(lines, Contains(std::string(trace))) << trace;
    }
}

} // namespace
} // namespace quellix::app::test

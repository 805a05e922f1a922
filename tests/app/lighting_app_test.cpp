// The lighting workers in the running program: the main window starts
// them, the mouse's announcement fires the flash on the pad and the mouse,
// power and re-plugging pause and resume the frames, and the repaint timer
// fills the previews of a shown lighting page and nothing else.

#include "live_window.h"

#include "quellix/app/lighting_previews.h"
#include "quellix/lighting/lighting_fields.h"
#include "quellix/lighting/records.h"
#include "quellix/ui/custom_controls.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quellix::app::test {
namespace {

using device::DeviceKind;
using sim::Model;

// Whether an LED frame that the device received after its first `since`
// requests lit something.
bool litSince(sim::Simulator& simulator, Model model, std::uint64_t since) {
    const sim::DeviceStats stats = simulator.stats(model);
    const std::uint64_t fresh = stats.framesReceived - since;
    const std::size_t first =
        stats.requestLog.size() > fresh ? stats.requestLog.size() - std::size_t(fresh) : 0;
    for (std::size_t r = first; r < stats.requestLog.size(); ++r) {
        const auto& request = stats.requestLog[r];
        if (request[3] != 18) {
            continue;
        }
        for (std::size_t i = device::kFrameHeaderSize; i < device::kFrameHeaderSize + request[4];
             ++i) {
            if (request[i] != 0) {
                return true;
            }
        }
    }
    return false;
}

bool dark(sim::Simulator& simulator, Model model) {
    const auto frame = simulator.stats(model).lastLedFrame;
    return !frame.empty() && std::all_of(frame.begin(), frame.end(), [](auto b) { return b == 0; });
}

std::uint64_t ledFrames(LiveWindow& live, Model model) {
    return live.simulator().stats(model).ledFrames;
}

void setFields(std::span<platform::SharedByte> record, const lighting::LightingFields& f) {
    lighting::writeLightingFields(f, record);
}

TEST(LightingInTheProgram, MouseAnnouncementFlashesPadAndMouse) {
    LiveWindow live;
    live.lightingTiming.startDelay = std::chrono::milliseconds(0);
    live.simulator().plug(Model::MousePad);
    live.simulator().plug(Model::Mouse);
    live.Open();
    auto& configs = live.window().Configs();
    // Pad mode 8 and mouse mode 6: dark until the mouse says so.
    setFields(configs.pad.record.span(), {0, 8, 4, 0, 0, 0, 0, 255, 0});
    setFields(configs.mouse.record.span(), {0, 6, 4, 0, 0, 1, 0, 0, 0});
    ASSERT_TRUE(live.WaitFor([&] {
        return dark(live.simulator(), Model::MousePad) && dark(live.simulator(), Model::Mouse);
    }));
    const std::uint64_t padSince = live.simulator().stats(Model::MousePad).framesReceived;
    const std::uint64_t mouseSince = live.simulator().stats(Model::Mouse).framesReceived;
    const auto bothLit = [&] {
        return litSince(live.simulator(), Model::MousePad, padSince) &&
               litSince(live.simulator(), Model::Mouse, mouseSince);
    };

    // The listener opens its interface on its own schedule: announce until
    // both devices show the flash.
    EXPECT_TRUE(live.WaitFor([&] {
        if (!bothLit()) {
            live.simulator().notify(Model::Mouse, device::kUsageFlash);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return bothLit();
    }));
}

TEST(LightingInTheProgram, FramesResumeAfterSuspendAndAfterReplug) {
    LiveWindow live;
    live.lightingTiming.startDelay = std::chrono::milliseconds(0);
    live.simulator().plug(Model::MousePad);
    live.Open();
    const dui::HWND handle = live.window().GetHWND();
    ASSERT_TRUE(live.WaitFor([&] { return ledFrames(live, Model::MousePad) > 3; }));

    dui::SendMessage(handle, dui::WM_POWERBROADCAST, dui::PBT_APMSUSPEND, 0);
    EXPECT_EQ(live.window().Link().framesEnabled.load(), 0);
    dui::SendMessage(handle, dui::WM_POWERBROADCAST, dui::PBT_APMRESUMEAUTOMATIC, 0);
    std::uint64_t before = ledFrames(live, Model::MousePad);
    EXPECT_TRUE(live.WaitFor([&] { return ledFrames(live, Model::MousePad) > before + 3; }));

    live.simulator().unplug(Model::MousePad);
    ASSERT_TRUE(live.WaitFor([&] { return !live.Connected(DeviceKind::MousePad); }));
    live.simulator().plug(Model::MousePad);
    ASSERT_TRUE(live.WaitFor([&] { return live.Connected(DeviceKind::MousePad); }));
    // The firmware starts afresh when plugged: its count starts again.
    EXPECT_TRUE(live.WaitFor([&] { return ledFrames(live, Model::MousePad) > 3; }));
}

TEST(LightingPreviews, CellsGoToVisibleKeyButtonsOnly) {
    lighting::LedCells<4> cells;
    cells.set(0, {0x12, 0x34, 0x56}, 200);
    cells.set(1, {1, 2, 3}, 4);
    cells.set(2, {9, 9, 9}, 9);
    cells.set(3, {7, 7, 7}, 7);
    ui::CDeviceKeyButtonUI shown, hidden, spare;
    dui::CLabelUI notAKey;
    hidden.SetVisible(false);
    // Fewer buttons than cells: the rest of the cells have no preview.
    dui::CControlUI* buttons[] = {&shown, &hidden, &notAKey};
    copyCellsToPreviews(cells, std::span<dui::CControlUI* const>(buttons), true);
    EXPECT_TRUE(shown.IsLightOn());
    EXPECT_EQ(shown.GetLightColor(), 0x123456u);
    EXPECT_EQ(shown.GetLightLevel(), 200);
    EXPECT_FALSE(hidden.IsLightOn());
    EXPECT_EQ(hidden.GetLightLevel(), ui::CDeviceKeyButtonUI::kDefaultLightLevel);
    EXPECT_FALSE(spare.IsLightOn());

    // Not active (the page's lighting tab not selected): the light goes off.
    copyCellsToPreviews(cells, std::span<dui::CControlUI* const>(buttons), false);
    EXPECT_FALSE(shown.IsLightOn());
}

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        live.lightingTiming.startDelay = std::chrono::milliseconds(0);
        live.simulator().plug(Model::MousePad);
        live.Open();
        ASSERT_TRUE(
            live.WaitFor([&] { return live.window().IsWindowVisible() && live.Page() == 2; }));
    }
    ui::CDeviceKeyButtonUI* padKey(int i) {
        return live.window().FindControl<ui::CDeviceKeyButtonUI>("mp_dkey_" + std::to_string(i));
    }
    lighting::LightingState& state() { return live.window().Link().lighting; }
    auto& padRecord() { return live.window().Configs().pad.record; }
    int invalidations() { return live.backend().InvalidateCount(live.window().GetHWND()); }
    // Lets the repaint timer run a few times.
    void ticks(int n = 4) {
        for (int i = 0; i < n; ++i) {
            live.backend().AdvanceTime(50);
            live.backend().Pump();
        }
    }

    LiveWindow live;
};

TEST_F(PreviewTest, RepaintTimerCopiesTheCellsIntoTheShownPreviews) {
    // A static colour: the cells hold still once the worker has run.
    setFields(padRecord().span(), {0, 3, 2, 0, 0, 0, 255, 0, 0});
    ASSERT_TRUE(live.WaitFor([&] { return state().pad.cells.cell(0).level == 128; }));
    ticks();
    ASSERT_TRUE(live.Selected("mp_deng_Op_tab"));
    for (int i = 0; i < 15; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(padKey(i), nullptr);
        const lighting::Cell cell = state().pad.cells.cell(std::size_t(i));
        EXPECT_TRUE(padKey(i)->IsLightOn());
        EXPECT_EQ(padKey(i)->GetLightColor(), previewColour(cell.colour));
        EXPECT_EQ(padKey(i)->GetLightLevel(), cell.level);
    }
    EXPECT_EQ(padKey(0)->GetLightColor(), 0x800000u);
    // Nothing changes, so nothing is repainted.
    const int before = invalidations();
    ticks(10);
    EXPECT_EQ(invalidations(), before);
}

TEST_F(PreviewTest, NothingIsPaintedWhileTheLightingPageIsNotShown) {
    // A wave keeps changing the cells: while the timer ticks, the worker
    // goes on in real time.
    setFields(padRecord().span(), lighting::kFactoryLighting);
    const auto repaintsWhileTicking = [&] {
        const int before = invalidations();
        for (int i = 0; i < 20; ++i) {
            ticks(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return invalidations() - before;
    };
    EXPECT_TRUE(live.WaitFor([&] { return repaintsWhileTicking() > 0; }));

    live.window().ShowWindow(false);
    EXPECT_EQ(repaintsWhileTicking(), 0);
    live.window().ShowWindow(true);
    live.window().SysCommand(dui::SC_MINIMIZE);
    EXPECT_EQ(repaintsWhileTicking(), 0);
    live.window().SysCommand(dui::SC_RESTORE);
    // Another device's page in front of the pad's.
    live.window().FindControl<dui::CTabLayoutUI>("tab_switch")->SelectItem(1);
    ticks(); // the page change lays the window out again
    EXPECT_EQ(repaintsWhileTicking(), 0);
    live.window().FindControl<dui::CTabLayoutUI>("tab_switch")->SelectItem(2);
    EXPECT_TRUE(live.WaitFor([&] { return repaintsWhileTicking() > 0; }));
}

} // namespace
} // namespace quellix::app::test

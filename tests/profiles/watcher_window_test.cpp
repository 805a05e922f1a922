// The profile watchers in the real main window, against a simulated mouse
// pad: a profile linked to the program in front is selected and applied,
// the user's profile comes back when the program leaves, the selection key
// names the user's profile throughout, and the shutdown ends the watchers.

#include "quellix/app/application.h"
#include "quellix/app/main_wnd.h"
#include "quellix/dui/headless.h"
#include "quellix/hid/device.h"
#include "quellix/platform/debug.h"
#include "quellix/platform/paths.h"
#include "quellix/profiles/catalogue.h"
#include "quellix/profiles/profile_file.h"
#include "quellix/sim/simulator.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include <stdlib.h>

namespace quellix::profiles {
namespace {

using device::DeviceKind;

class WatcherWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The documents folder is read once per process.
        static platform::test::TempDir documents;
        setenv("QUELLIX_DOCUMENTS_DIR", documents.path().c_str(), 0);
        hid::setSimulatorDir(simulator_.dir().string());
        ASSERT_TRUE(app::SetUpResources(toolkit_, SHIPPED_SKIN_DIR));
    }
    void TearDown() override {
        if (window_ && dui::IsWindow(window_->GetHWND())) {
            window_->DestroyWindow();
        }
        window_.reset();
        hid::setSimulatorDir("");
    }

    void Open() {
        window_ = std::make_unique<app::CMainWnd>();
        app::DeviceWorkerTiming timing;
        timing.detection.absentPeriod = std::chrono::milliseconds(50);
        timing.detection.presentPeriod = std::chrono::milliseconds(20);
        timing.listener.searchPeriod = std::chrono::milliseconds(200);
        timing.listener.readTimeoutMs = 50;
        window_->SetDeviceWorkerTiming(timing);
        app::ProfileWatcherSetup watchers;
        watchers.timing = {std::chrono::milliseconds(0), std::chrono::milliseconds(20)};
        // Every watcher sees the program the test puts in front.
        watchers.openForeground = [front = front_] {
            return std::make_unique<platform::FixedForegroundProgram>(front);
        };
        window_->SetProfileWatcherSetup(std::move(watchers));
        ASSERT_NE(window_->Create(dui::kNullWindow, app::kMainWindowTitle, app::kMainWindowStyle, 0,
                                  0, 0, app::kMainWindowWidth, app::kMainWindowHeight),
                  dui::kNullWindow);
        window_->ShowWindow(true);
        backend_.Pump();
    }

    bool WaitFor(const std::function<bool()>& condition) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < until) {
            backend_.Pump();
            if (condition()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    bool PadConnected() { return window_->Session(DeviceKind::MousePad).connected.load() == 1; }
    int RecordByte() { return window_->Configs().pad.record.load(0); }
    dui::CComboUI& List() { return *window_->FindControl<dui::CComboUI>("mp_deng_profile_combo"); }

    platform::FixedForegroundProgram front_;
    sim::Simulator simulator_{sim::Options{{}, std::chrono::microseconds(0)}};
    dui::HeadlessBackend backend_;
    dui::Toolkit toolkit_{backend_};
    std::unique_ptr<app::CMainWnd> window_;
};

TEST_F(WatcherWindowTest, LinkedPadProfileFollowsTheProgramInFront) {
    const std::filesystem::path dir = platform::mousePadDir();
    const Catalogue catalogue(Family::PadLighting, dir);
    const char* names[] = {"calm", "game", "mine"};
    for (int i = 0; i < 3; ++i) {
        catalogue.setName(i, names[i]);
        catalogue.setLink(i, {"0", " "});
        ASSERT_TRUE(writeProfileFile(dir / (std::string(names[i]) + ".led"), ProfileKind::MousePad,
                                     std::vector<std::uint8_t>(64, 0x11 * (i + 1))));
    }
    catalogue.setCount(3);
    catalogue.setLink(1, {"1", "/opt/Games/alpha"});
    catalogue.setSelection(2);
    front_.setExecutable("/usr/bin/editor");
    Open();
    simulator_.plug(sim::Model::Pad);
    ASSERT_TRUE(WaitFor([&] { return PadConnected() && RecordByte() == 0x33; }));

    front_.setExecutable("/opt/games/ALPHA");
    ASSERT_TRUE(WaitFor([&] { return List().GetCurSel() == 1 && RecordByte() == 0x22; }));
    EXPECT_EQ(window_->FindControl("mp_deng_profile_name_edit")->GetText(), "game");
    EXPECT_EQ(catalogue.selection(), 2);

    // The user picks another profile while the program is in front: the
    // linked one comes back at the next pass, the user's choice is kept.
    List().SelectItem(0);
    ASSERT_TRUE(WaitFor([&] { return List().GetCurSel() == 1 && RecordByte() == 0x22; }));
    EXPECT_EQ(catalogue.selection(), 0);

    front_.setExecutable("/usr/bin/editor");
    ASSERT_TRUE(WaitFor([&] { return List().GetCurSel() == 0 && RecordByte() == 0x11; }));
    EXPECT_EQ(catalogue.selection(), 0);

    const auto since = platform::debugSequence();
    window_->DestroyWindow();
    const auto lines = platform::debugLinesSince(since);
    for (const WatcherInfo& watcher : kWatchers) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), std::string(watcher.name) + ": stopped"),
                  lines.end())
            << watcher.name;
    }
}

} // namespace
} // namespace quellix::profiles

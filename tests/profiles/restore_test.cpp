// The real main window with its profile panels, against a simulated mouse
// pad: the remembered profile is selected and applied when the pad is
// plugged, and again when it is plugged back after an unplug.

#include "quellix/app/application.h"
#include "quellix/app/main_wnd.h"
#include "quellix/dui/headless.h"
#include "quellix/hid/device.h"
#include "quellix/platform/paths.h"
#include "quellix/profiles/catalogue.h"
#include "quellix/profiles/profile_file.h"
#include "quellix/sim/simulator.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include <stdlib.h>

namespace quellix::profiles {
namespace {

using device::DeviceKind;

class RestoreTest : public ::testing::Test {
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

    sim::Simulator simulator_{sim::Options{{}, std::chrono::microseconds(0)}};
    dui::HeadlessBackend backend_;
    dui::Toolkit toolkit_{backend_};
    std::unique_ptr<app::CMainWnd> window_;
};

TEST_F(RestoreTest, RememberedPadProfileComesBackWhenThePadIsPluggedAgain) {
    const std::filesystem::path dir = platform::mousePadDir();
    const Catalogue catalogue(Family::PadLighting, dir);
    catalogue.setCount(2);
    catalogue.setName(0, "first");
    catalogue.setName(1, "second");
    catalogue.setSelection(1);
    ASSERT_TRUE(writeProfileFile(dir / "first.led", ProfileKind::MousePad,
                                 std::vector<std::uint8_t>(64, 0x11)));
    ASSERT_TRUE(writeProfileFile(dir / "second.led", ProfileKind::MousePad,
                                 std::vector<std::uint8_t>(64, 0x22)));
    Open();
    // Filled at start, nothing selected before the pad is there.
    ASSERT_EQ(List().GetCount(), 2);
    EXPECT_EQ(List().GetCurSel(), -1);

    simulator_.plug(sim::Model::Pad);
    ASSERT_TRUE(WaitFor([&] { return PadConnected() && List().GetCurSel() == 1; }));
    EXPECT_EQ(RecordByte(), 0x22);
    EXPECT_EQ(window_->FindControl("mp_deng_profile_name_edit")->GetText(), "second");

    simulator_.unplug(sim::Model::Pad);
    ASSERT_TRUE(WaitFor([&] { return !PadConnected(); }));
    // Meanwhile the state is something else (as another device's work or
    // an edit would leave it).
    window_->Configs().pad.record.store(0, 0x33);

    simulator_.plug(sim::Model::Pad);
    ASSERT_TRUE(WaitFor([&] { return PadConnected() && RecordByte() == 0x22; }));
    EXPECT_EQ(List().GetCurSel(), 1);
    EXPECT_EQ(catalogue.selection(), 1);
}

} // namespace
} // namespace quellix::profiles

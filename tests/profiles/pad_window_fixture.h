#pragma once
// The real main window with its profile panels and profile watchers on the
// headless toolkit, and a simulated mouse pad the test plugs.

#include "quellix/app/application.h"
#include "quellix/app/main_wnd.h"
#include "quellix/dui/headless.h"
#include "quellix/hid/device.h"
#include "quellix/sim/simulator.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include <stdlib.h>

namespace quellix::profiles::test {

class PadWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The documents folder is read once per process.
        static platform::test::TempDir documents;
        setenv("QUELLIX_DOCUMENTS_DIR", documents.path().c_str(), 0);
        ASSERT_TRUE(app::SetUpResources(toolkit_, SHIPPED_SKIN_DIR));
    }
    void TearDown() override {
        if (window_ && dui::IsWindow(window_->GetHWND())) {
            window_->DestroyWindow();
        }
        window_.reset();
    }

    // `beforeCreate` may set up the window further before it is created.
    void Open(const std::function<void(app::CMainWnd&)>& beforeCreate = {}) {
        window_ = std::make_unique<app::CMainWnd>();
        window_->SetDeviceSource(hid::DeviceSource::simulator(simulator_.dir()));
        app::DeviceWorkerTiming timing;
        timing.detection.absentPeriod = std::chrono::milliseconds(50);
        timing.detection.presentPeriod = std::chrono::milliseconds(20);
        timing.listener.searchPeriod = std::chrono::milliseconds(200);
        timing.listener.readTimeoutMs = 50;
        window_->SetDeviceWorkerTiming(timing);
        if (beforeCreate) {
            beforeCreate(*window_);
        }
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

    bool PadConnected() {
        return window_->Session(device::DeviceKind::MousePad).connected.load() == 1;
    }
    int RecordByte() { return window_->Configs().pad.record.load(0); }
    dui::CComboUI& List() { return *window_->FindControl<dui::CComboUI>("mp_deng_profile_combo"); }

    sim::Simulator simulator_{sim::Options{{}, std::chrono::microseconds(0)}};
    dui::HeadlessBackend backend_;
    dui::Toolkit toolkit_{backend_};
    std::unique_ptr<app::CMainWnd> window_;
};

} // namespace quellix::profiles::test

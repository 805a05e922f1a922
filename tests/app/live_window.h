#pragma once
// The real main window, built from the shipped skin on the headless
// backend, with its workers running against an in-process simulator
// through the simulated HID sockets, and a recording stand-in for the
// configuration calls.

#include "quellix/app/application.h"
#include "quellix/app/main_wnd.h"
#include "quellix/dui/headless.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/hid/device.h"
#include "quellix/sim/simulator.h"
#include "temp_dir.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <stdlib.h>

namespace quellix::app::test {

// Records the configuration calls (from any thread).
class RecordingConfigCalls final : public DeviceConfigCalls {
public:
    struct Log {
        std::mutex mutex;
        std::vector<std::string> calls;
    };
    explicit RecordingConfigCalls(std::shared_ptr<Log> log) : log_(std::move(log)) {}

    void readPadImage(device::DeviceSession&) override { add("readPadImage"); }
    void loadPadLighting(int n) override { add("loadPadLighting " + std::to_string(n)); }
    void loadMouseDevice(int n) override { add("loadMouseDevice " + std::to_string(n)); }
    void readMouseImage(device::DeviceSession&) override { add("readMouseImage"); }
    void setKeyboardVariant(int v) override { add("variant " + std::to_string(v)); }
    void readKeyboardImage(device::DeviceSession&) override { add("readKeyboardImage"); }
    void loadKeyboardLighting(int n) override { add("loadKeyboardLighting " + std::to_string(n)); }

private:
    void add(std::string call) {
        std::lock_guard guard(log_->mutex);
        log_->calls.push_back(std::move(call));
    }
    std::shared_ptr<Log> log_;
};

// Records what a feature's page was asked to do (UI thread only).
class RecordingPage final : public ui::FeaturePage {
public:
    void OnNotify(dui::TNotifyUI& msg) override {
        events.push_back(msg.sType + " " + (msg.pSender ? msg.pSender->GetName() : ""));
    }
    bool OnMessage(dui::UINT msg, dui::WPARAM, dui::LPARAM) override {
        events.push_back("message " + std::to_string(msg));
        return true;
    }
    void Refresh(device::DeviceKind kind) override {
        events.push_back("refresh " + std::to_string(device::kindIndex(kind)));
    }
    std::vector<std::string> events;
};

class LiveWindow {
public:
    LiveWindow() : simulator_(sim::Options{{}, std::chrono::microseconds(0)}) {
        // Profiles and settings go to a private documents folder (read once
        // per process, so every test of the suite shares it).
        static platform::test::TempDir documents;
        setenv("QUELLIX_DOCUMENTS_DIR", documents.path().c_str(), 0);
    }
    ~LiveWindow() {
        if (window_ && dui::IsWindow(window_->GetHWND())) {
            window_->DestroyWindow();
        }
        window_.reset();
    }

    // The lighting workers' pacing (before Open); as in the program unless
    // a test changes it.
    LightingWorkerTiming lightingTiming;

    sim::Simulator& simulator() { return simulator_; }
    dui::HeadlessBackend& backend() { return backend_; }
    CMainWnd& window() { return *window_; }

    // Installs a recording page for a feature (before Open).
    RecordingPage& record(ui::Feature feature) {
        auto page = std::make_unique<RecordingPage>();
        RecordingPage& ref = *page;
        pending_.emplace_back(feature, std::move(page));
        return ref;
    }

    void Open(bool startHidden = false) {
        ASSERT_TRUE(SetUpResources(toolkit_, SHIPPED_SKIN_DIR));
        window_ = std::make_unique<CMainWnd>(std::make_unique<RecordingConfigCalls>(log_));
        window_->SetDeviceSource(hid::DeviceSource::simulator(simulator_.dir()));
        window_->SetStartHidden(startHidden);
        for (auto& [feature, page] : pending_) {
            window_->SetPage(feature, std::move(page));
        }
        DeviceWorkerTiming timing;
        timing.detection.absentPeriod = std::chrono::milliseconds(200);
        timing.detection.presentPeriod = std::chrono::milliseconds(20);
        timing.listener.searchPeriod = std::chrono::milliseconds(200);
        timing.listener.readTimeoutMs = 50;
        timing.lighting = lightingTiming;
        window_->SetDeviceWorkerTiming(timing);
        ASSERT_NE(window_->Create(dui::kNullWindow, kMainWindowTitle, kMainWindowStyle, 0, 0, 0,
                                  kMainWindowWidth, kMainWindowHeight),
                  dui::kNullWindow);
        window_->CenterWindow();
        window_->ShowWindow(true);
        backend_.Pump();
    }

    // Pumps the UI thread until `condition` holds (false after `limit`).
    bool WaitFor(const std::function<bool()>& condition,
                 std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        const auto until = std::chrono::steady_clock::now() + limit;
        for (;;) {
            backend_.Pump();
            if (condition()) {
                return true;
            }
            if (std::chrono::steady_clock::now() > until) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    bool Connected(device::DeviceKind kind) { return window_->Session(kind).connected.load() == 1; }
    std::vector<std::string> Calls() {
        std::lock_guard guard(log_->mutex);
        return log_->calls;
    }
    bool Called(const std::string& call) {
        for (const auto& c : Calls()) {
            if (c == call) {
                return true;
            }
        }
        return false;
    }
    bool Shown(const char* name) { return dui::UserDriver(*window_, backend_).IsShown(name); }
    // The control's own visibility (its page may be hidden).
    bool Visible(const char* name) {
        auto* control = window_->FindControl(name);
        return control != nullptr && control->IsOwnVisible();
    }
    bool Selected(const char* option) {
        auto* control = window_->FindControl<dui::COptionUI>(option);
        return control != nullptr && control->IsSelected();
    }
    int Page() { return window_->FindControl<dui::CTabLayoutUI>("tab_switch")->GetCurSel(); }

private:
    sim::Simulator simulator_;
    dui::HeadlessBackend backend_;
    dui::Toolkit toolkit_{backend_};
    std::shared_ptr<RecordingConfigCalls::Log> log_ = std::make_shared<RecordingConfigCalls::Log>();
    std::vector<std::pair<ui::Feature, std::unique_ptr<ui::FeaturePage>>> pending_;
    std::unique_ptr<CMainWnd> window_;
};

} // namespace quellix::app::test

#pragma once
// The program's side of the device link: the three sessions, what a
// connection and a removal do to the main window, and what the devices'
// own announcements ask for.
//
// Detection and listener workers call in on their own threads.  Device
// steps (image reads, profile loads) run right there; every step that
// touches controls is handed to the UI thread in the order the sequence
// lists it, addressed by the window's handle, so a step that arrives after
// the window is gone is dropped.  Nothing here waits for the UI thread
// while a session lock is held.

#include "quellix/app/device_config_calls.h"
#include "quellix/app/lighting_workers.h"
#include "quellix/device/detection.h"
#include "quellix/device/device_session.h"
#include "quellix/dui/types.h"
#include "quellix/lighting/state.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace quellix::app {

class CMainWnd;

// Messages the device link sends or posts to the main window.
inline constexpr dui::UINT kMsgMouseImageChanged = 2305;
inline constexpr dui::UINT kMsgMouseSlotChanged = 2306;
inline constexpr dui::UINT kMsgPadImageChanged = 2561;
inline constexpr dui::UINT kMsgPadResync = 2562;
inline constexpr dui::UINT kMsgKeyboardImageChanged = 2817;
inline constexpr dui::UINT kMsgKeyboardSlotChanged = 2818;
inline constexpr dui::UINT kMsgKeyboardDefaultKeys = 2819;
inline constexpr dui::UINT kMsgLastDeviceRemoved = 3077;

// lParam of the show-window message a detection worker posts after its
// first scan found the device (a second instance posts 0).
inline constexpr dui::LPARAM kShowRequestFromDetection = 1;

// The repaint after a connection.
inline constexpr dui::UINT kTimerConnectedRepaint = 7;
inline constexpr dui::UINT kConnectedRepaintMs = 100;

class DeviceLink final : public device::DetectionHost {
public:
    explicit DeviceLink(std::unique_ptr<DeviceConfigCalls> calls);
    ~DeviceLink() override;
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Keyboard, mouse, mouse pad.
    std::array<device::DeviceSession, 3> sessions;
    // The mouse's and the keyboard's listener records.
    std::array<device::HidDeviceRecord, 2> listenerRecords;
    // The lighting engine's state (the mouse's announcement triggers its
    // flash effects).
    lighting::LightingState lighting;
    // 0 between a suspend and the following resume: the lighting workers
    // send frames only while it is 1.
    platform::Shared<int> framesEnabled{1};
    // The records the lighting workers read until the configuration images
    // provide theirs (LightingWorkers::setRecords).
    lighting::OwnedLightingRecords ownLightingRecords;
    LightingWorkers lightingWorkers{lighting, sessionPointers(), framesEnabled, ownLightingRecords};

    device::DeviceSession& session(device::DeviceKind kind) {
        return sessions[device::kindIndex(kind)];
    }
    std::array<device::DeviceSession*, 3> sessionPointers() {
        return {&sessions[0], &sessions[1], &sessions[2]};
    }
    bool anyConnected() const;

    // Where the sessions and the listeners find their devices; before the
    // workers start.
    void setSource(const hid::DeviceSource& source);

    // The window the UI steps go to, and its show-window message.
    void attach(dui::HWND window, dui::UINT showWindowMessage);
    DeviceConfigCalls& calls() { return *calls_; }

    // --- DetectionHost (detection workers) ---
    void connect(device::DeviceKind kind, device::DeviceSession& session,
                 platform::Event& stop) override;
    void removed(device::DeviceKind kind) override;
    void foundAtFirstScan(device::DeviceKind kind) override;
    void othersConnectedChanged(device::DeviceKind kind, bool othersConnected) override;
    void openFailed(device::DeviceKind kind, const std::string& reason) override;

    // --- listeners ---
    void mouseAnnounced(std::uint16_t usage);
    void keyboardAnnounced(std::uint16_t usage);

private:
    void connectMouse(device::DeviceSession& session);
    void connectPad(device::DeviceSession& session);
    void connectKeyboard(device::DeviceSession& session, platform::Event& stop);
    bool isConnected(device::DeviceKind kind) const;
    // Runs `step` on the UI thread with the main window, if it still exists.
    void postUi(std::function<void(CMainWnd&)> step);

    std::unique_ptr<DeviceConfigCalls> calls_;
    std::atomic<dui::HWND> window_{dui::kNullWindow};
    std::atomic<dui::UINT> showWindowMessage_{0};
};

} // namespace quellix::app

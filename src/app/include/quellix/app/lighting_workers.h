#pragma once
// The lighting animation workers: one per device kind and the synchronised
// worker.  Each runs the engine's worker steps on its own thread and hands
// the frames the senders let go out to the kind's session (command 18).
//
// Every pause of a worker is a wait on its stop event, so shutdown never
// waits out a frame delay.  While no session is synchronised the
// synchronised worker sleeps until syncActivated() wakes it.  Workers
// touch no control: the previews are filled from the LED cells on the UI
// thread (lighting_previews.h).

#include "quellix/device/device_kind.h"
#include "quellix/device/device_session.h"
#include "quellix/lighting/records.h"
#include "quellix/lighting/state.h"
#include "quellix/lighting/worker_steps.h"
#include "quellix/platform/clock.h"
#include "quellix/platform/event.h"
#include "quellix/platform/reason_log.h"
#include "quellix/platform/shared_bytes.h"

#include <array>
#include <chrono>
#include <string_view>

namespace quellix::app {

struct LightingWorkerTiming {
    // The kind workers' pause before their first frame.
    std::chrono::milliseconds startDelay{3000};
    // While nothing is synchronised the synchronised worker sleeps until it
    // is woken; it also looks again after this long, so that a flag set
    // without the wake-up is still seen.
    std::chrono::milliseconds syncIdleCheck{1000};
    // The clock the workers pace themselves on; the system clock when none.
    platform::Clock* clock = nullptr;
};

class LightingWorkers {
public:
    // `sessions` keyboard, mouse, mouse pad; all arguments outlive the
    // workers.  The records start as `ownRecords`'.
    LightingWorkers(lighting::LightingState& state, std::array<device::DeviceSession*, 3> sessions,
                    const platform::Shared<int>& framesEnabled,
                    lighting::OwnedLightingRecords& ownRecords);
    LightingWorkers(const LightingWorkers&) = delete;
    LightingWorkers& operator=(const LightingWorkers&) = delete;

    // Before the workers start.
    void setRecords(const lighting::LightingRecords& records) { records_ = records; }
    void setTiming(const LightingWorkerTiming& timing) { timing_ = timing; }
    const lighting::LightingRecords& records() const { return records_; }

    // Thread bodies: run until `stop` is set, then write their exit trace.
    void runKind(device::DeviceKind kind, platform::Event& stop);
    void runSync(platform::Event& stop);

    // Wakes the synchronised worker; call after setting a session's
    // `syncActive`.
    void syncActivated() { syncWake_.set(); }

private:
    class Sender;
    platform::Clock& clock() const;
    device::DeviceSession& session(device::DeviceKind kind) const {
        return *sessions_[device::kindIndex(kind)];
    }
    lighting::DeviceFlags flags(device::DeviceKind kind) const;

    lighting::LightingState& state_;
    std::array<device::DeviceSession*, 3> sessions_;
    const platform::Shared<int>& framesEnabled_;
    lighting::LightingRecords records_;
    LightingWorkerTiming timing_;
    lighting::KeyboardSendRule keyboardRule_;
    // The streams retry with every frame: a failure is logged once per
    // change of reason, by device::kindIndex.
    std::array<platform::ReasonLog, 3> streamLogs_{platform::ReasonLog("keyboard lighting stream"),
                                                   platform::ReasonLog("mouse lighting stream"),
                                                   platform::ReasonLog("pad lighting stream")};
    platform::Event syncWake_{platform::Event::Reset::Auto};
};

// The lines the workers write when they end.
std::string_view lightingExitTrace(device::DeviceKind kind);
inline constexpr std::string_view kSyncLightingExitTrace = "同步灯效线程设定退出";

} // namespace quellix::app

#pragma once
// One pass of each animation worker's loop, without threads or devices:
// the frame delay, the look at the device, the effect, the frame, and
// whether the frame senders let it go out.  The workers add the stop event
// (their pacer waits on it) and the sending.

#include "quellix/device/device_kind.h"
#include "quellix/lighting/iteration.h"
#include "quellix/lighting/records.h"

#include <atomic>
#include <cstdint>

namespace quellix::lighting {

// What a worker reads of its device's session.
struct DeviceFlags {
    const Shared<int>& connected;
    const Shared<int>& syncActive;

    bool isConnected() const { return connected.load() == 1; }
    bool isSynchronised() const { return syncActive.load() != 0; }
};

// A kind worker's pause after finding its device absent.
inline constexpr unsigned kAbsentPauseMs = 100;

struct KindStep {
    // False: the device was absent after the frame delay and nothing was
    // computed (the step also took the absent pause).
    bool connected = false;
    // The frame for the kind's sender; empty when the iteration has none.
    FrameBytes frame;
    // The level frame of a one-colour keyboard step: it goes to the device
    // whatever the power state, from the first frame on.
    bool oneColour = false;
    // The record's mode when the step ran (the keyboard sender's rules).
    std::uint8_t mode = 0;
    // The line the keyboard writes to the debug output after this frame.
    const char* trace = nullptr;
};

KindStep padWorkerStep(LightingState& state, const LightingRecords& records, DeviceFlags device,
                       Pacer& pacer, const Clock& clock, FrameBuffers& buffers);
KindStep mouseWorkerStep(LightingState& state, const LightingRecords& records, DeviceFlags device,
                         Pacer& pacer, const Clock& clock, FrameBuffers& buffers);
KindStep keyboardWorkerStep(LightingState& state, const LightingRecords& records,
                            DeviceFlags device, Pacer& pacer, const Clock& clock,
                            FrameBuffers& buffers);

// The pad's and the mouse's sender: frames go out except between a
// suspend and the following resume.
constexpr bool cellFrameGoesOut(FrameBytes frame, bool framesEnabled) {
    return !frame.empty() && framesEnabled;
}

// The keyboard's sender, shared by the keyboard worker and the
// synchronised worker: its first call after start-up sends nothing, and
// nothing goes out while the keyboard runs its own effect (modes 15 and
// 16) or while frames are disabled.  A one-colour step's level frame is
// not the sender's and always goes out (the first call is still used up).
class KeyboardSendRule {
public:
    bool goesOut(FrameBytes frame, bool oneColour, std::uint8_t keyboardMode, bool framesEnabled);

private:
    std::atomic<bool> called_{false};
};

// The kinds the synchronised worker serves, in their table order.
using LightKind = device::DeviceKind;

class SyncFrameSink {
public:
    virtual ~SyncFrameSink() = default;
    virtual void send(LightKind kind, FrameBytes frame) = 0;
};

struct SyncDevices {
    DeviceFlags keyboard;
    DeviceFlags mouse;
    DeviceFlags pad;
};

enum class SyncOutcome {
    NoDevice,         // nothing connected; the step took the 1000 ms pause
    NoneSynchronised, // nothing to drive; the worker waits for that to change
    Ran,
};
inline constexpr unsigned kSyncNoDevicePauseMs = 1000;
inline constexpr unsigned kSyncSkipPauseMs = 1;

// The synchronised worker's pass: sleeps the record's `speed` in
// milliseconds, runs the synchronised effect over the kinds whose session
// has `syncActive`, then for keyboard, mouse and pad sends the frame of a
// synchronised kind and pauses 1 ms for any other.
SyncOutcome syncWorkerStep(LightingState& state, const LightingRecords& records,
                           const SyncDevices& devices, Pacer& pacer, FrameBuffers& buffers,
                           SyncFrameSink& sink);

} // namespace quellix::lighting

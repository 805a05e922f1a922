#pragma once
// The listener of a device's consumer-control interface: the mouse and the
// keyboard announce there that their settings were changed on the device
// itself, and the listener passes each announcement on so that the program
// re-reads the device.
//
// It owns its own HID record and takes no session lock.  While no device
// is found it searches every second (at once when the device directory
// changes); while one is open it reads with a 500 ms timeout and probes the
// device after every read that timed out.

#include "quellix/device/device_kind.h"
#include "quellix/device/hid_device_record.h"
#include "quellix/platform/event.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>

namespace quellix::device {

// Usages of the first data item of a consumer report.
inline constexpr std::uint16_t kUsageSlotChanged = 0x401;
inline constexpr std::uint16_t kUsageConfigChanged = 0x402;
inline constexpr std::uint16_t kUsageFlash = 0x403;

struct ListenerTarget {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    HidUsage interface; // the collection the announcements come on
    std::string_view exitTrace;
};

// A kind's listener, from the device table: its session's product and its
// listener interface.
inline constexpr ListenerTarget listenerTargetOf(DeviceKind kind, std::string_view exitTrace) {
    return {kindInfo(kind).vendorId, primaryProductId(kind), kindInfo(kind).listenerInterface,
            exitTrace};
}

// The keyboard's and the mouse's listener.
inline constexpr ListenerTarget kKeyboardListener =
    listenerTargetOf(DeviceKind::Keyboard, "键盘同步线程设定退出");
inline constexpr ListenerTarget kMouseListener =
    listenerTargetOf(DeviceKind::Mouse, "鼠标同步线程设定测试退出");

struct ListenerTiming {
    std::chrono::milliseconds searchPeriod{1000};
    std::chrono::milliseconds afterStopPeriod{100};
    std::uint32_t readTimeoutMs = 500;
};

// Called on the listener's thread with the first usage of each report.
using UsageHandler = std::function<void(std::uint16_t usage)>;

// The worker: runs until `stop` is signalled (or the interfaces cannot be
// listed), then writes the target's exit trace.  `record` must have been
// initialised with initRecord and given its source; it is closed again when
// the worker ends.
void runListener(const ListenerTarget& target, HidDeviceRecord& record, const UsageHandler& onUsage,
                 platform::Event& stop, const ListenerTiming& timing = {});

} // namespace quellix::device

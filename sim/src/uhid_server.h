#pragma once
// The simulated firmware served through /dev/uhid (Linux).
//
// Every interface of a plugged device becomes a HID device of the running
// kernel (UHID_CREATE2 with the interface's report descriptor, the vendor
// and product ids, release 0x0105, bus USB), so the kernel's HID core and
// hidraw driver carry its reports and the program finds it under
// /sys/class/hidraw and /dev/hidrawN like a real device.  Output reports
// written to the configuration interface's hidraw node reach the firmware
// model; its replies and the consumer-control notifications go back as
// input reports.  Unplugging destroys the HID devices (UHID_DESTROY);
// plugging creates them anew.
//
// A UHID device has no USB interface above it, so the kernel reports no
// interface number (the HID layer reads 0 for every interface) and no USB
// release number (0).
//
// The fault injection and the text commands are those of the socket
// simulator; the commands arrive at <dir>/control.sock as there.  On the
// first output report after each UHID_CREATE2 the server writes to stderr
// how long after the creation it came:
//   uhid: pad: first output report 123.4 ms after UHID_CREATE2

#include "quellix/sim/simulator.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

namespace quellix::sim {

inline constexpr const char* kUhidNode = "/dev/uhid";

struct UhidOptions {
    // Where control.sock is served.  Empty: a fresh temporary directory
    // (mode 0700), removed on destruction.  An existing directory must
    // belong to the user and have mode 0700.
    std::filesystem::path dir;
    std::chrono::microseconds replyLatency{2000};
    std::filesystem::path uhidNode = kUhidNode;
    // Opens one device's channel to the kernel (a descriptor that carries
    // whole struct uhid_event records both ways); -1 with errno on failure.
    // Empty: opens uhidNode.  Tests hand in one end of a SEQPACKET pair.
    std::function<int()> openChannel;
};

// True when the kernel offers UHID (the node exists and can be opened).
bool uhidAvailable(const std::filesystem::path& node = kUhidNode);

class UhidServer {
public:
    // Throws std::system_error when the control socket cannot be served.
    explicit UhidServer(UhidOptions options = {});
    ~UhidServer(); // destroys every device, removes control.sock
    UhidServer(const UhidServer&) = delete;
    UhidServer& operator=(const UhidServer&) = delete;

    const std::filesystem::path& dir() const;
    // Thread-safe; throws std::system_error when /dev/uhid refuses a device.
    void plug(Model model, std::uint16_t keyboardProductId = kDefaultKeyboardProductId);
    void unplug(Model model);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace quellix::sim

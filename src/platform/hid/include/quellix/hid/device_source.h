#pragma once
// Where HID interfaces come from: the system's hidraw devices (a sysfs root
// and a device-node root) or the sockets of a device simulator in one
// directory.  A value: built once where the program starts (the command
// line, a test, a benchmark) and handed down to whatever enumerates, opens
// or watches devices, so several sources can be in use side by side.

#include <string>

namespace quellix::hid {

struct DeviceSource {
    std::string sysfs = "/sys"; // hidraw: /sys/class/hidraw/*/device
    std::string dev = "/dev";   // hidraw: the nodes hidrawN
    std::string simDir;         // not empty: only the simulator's sockets here

    // The system's hidraw devices (the default value), or those of a fake
    // sysfs and device directory in tests.
    static DeviceSource hidraw(std::string sysfsRoot = "/sys", std::string devRoot = "/dev") {
        return {std::move(sysfsRoot), std::move(devRoot), {}};
    }
    // The devices a simulator serves in `directory` (not empty).
    static DeviceSource simulator(std::string directory) {
        DeviceSource source;
        source.simDir = std::move(directory);
        return source;
    }

    bool simulated() const { return !simDir.empty(); }
    // The directory whose entries come and go with the devices: the
    // simulator directory, else the device node directory.
    const std::string& hotplugDirectory() const { return simulated() ? simDir : dev; }

    friend bool operator==(const DeviceSource&, const DeviceSource&) = default;
};

} // namespace quellix::hid

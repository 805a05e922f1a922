#pragma once
// A fake sysfs tree and device directory for the hidraw source.

#include "fake_sim_dir.h"
#include "quellix/hid/device.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace quellix::testing {

// Builds <root>/sys and <root>/dev the way the kernel lays out a USB HID
// interface behind a hidraw node.
class FakeSysfs {
public:
    FakeSysfs() {
        std::filesystem::create_directories(sys() / "class" / "hidraw");
        std::filesystem::create_directories(dev());
    }

    // The HID source that finds the devices added here.
    hid::DeviceSource source() const { return hid::DeviceSource::hidraw(sys(), dev()); }

    std::filesystem::path sys() const { return root_.path() / "sys"; }
    std::filesystem::path dev() const { return root_.path() / "dev"; }

    void addHidraw(const std::string& node, std::uint16_t vendor, std::uint16_t product,
                   std::uint8_t interface, const std::vector<std::uint8_t>& descriptor,
                   const char* bcdDevice = "0105") {
        char name[64];
        const std::filesystem::path usbDevice = sys() / "devices" / "usb1" / ("1-" + node);
        std::snprintf(name, sizeof name, "1-1:1.%u", interface);
        const std::filesystem::path usbInterface = usbDevice / name;
        std::snprintf(name, sizeof name, "0003:%04X:%04X.%04zu", vendor, product, ++serial_);
        const std::filesystem::path hid = usbInterface / name;
        std::snprintf(name, sizeof name, "HID_ID=0003:%08X:%08X\nHID_NAME=Test %s\n", vendor,
                      product, node.c_str());
        writeText(hid / "uevent", name);
        writeFile(hid / "report_descriptor", descriptor);
        std::snprintf(name, sizeof name, "%02x\n", interface);
        writeText(usbInterface / "bInterfaceNumber", name);
        writeText(usbDevice / "bcdDevice", std::string(bcdDevice) + "\n");
        std::filesystem::create_directories(sys() / "class" / "hidraw" / node);
        std::filesystem::create_directory_symlink(hid,
                                                  sys() / "class" / "hidraw" / node / "device");
        writeText(dev() / node, "");
    }

    // Turns the node into a FIFO.  Once its buffer is full a write to it
    // blocks in the kernel whatever the descriptor's mode, as a hidraw write
    // does while the device does not take the report.
    std::filesystem::path makeNodeAPipe(const std::string& node) {
        const std::filesystem::path path = dev() / node;
        std::filesystem::remove(path);
        ::mkfifo(path.c_str(), 0600);
        return path;
    }

private:
    TempDir root_;
    std::size_t serial_ = 0;
};

} // namespace quellix::testing

// Writes the udev rule that gives the user at the seat access to the hidraw
// nodes of every product in the device table: a comment header, then one
// line per accepted product id.
//
//   make_udev_rule OUTPUT

#include "quellix/device/device_kind.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using quellix::device::DeviceKindInfo;
using quellix::device::kDeviceKinds;

std::string hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

// "the keyboard (pppp, pppp)": the kind and its product ids in hex
std::string kindWithProducts(const DeviceKindInfo& info) {
    std::string text = "the " + std::string(info.name) + " (";
    for (std::size_t i = 0; i < info.products.size(); ++i) {
        text += (i == 0 ? "" : ", ") + hex4(info.products[i].productId);
    }
    return text + ")";
}

std::string ruleText() {
    std::string kinds;
    for (std::size_t i = 0; i < kDeviceKinds.size(); ++i) {
        kinds += (i == 0                         ? ""
                  : i + 1 == kDeviceKinds.size() ? " and "
                                                 : ", ") +
                 kindWithProducts(kDeviceKinds[i]);
    }
    std::ostringstream out;
    out << "# Gives the user logged in at the seat read/write access to the hidraw nodes\n"
           "# of "
        << kinds
        << ",\n"
           "# so that the configuration utility runs without root rights.\n"
           "# Installed to /usr/lib/udev/rules.d (or /etc/udev/rules.d); the number keeps\n"
           "# it ahead of 73-seat-late.rules, which turns the uaccess tag into an ACL.\n"
           "# Generated from the device table at build time.\n";
    for (const DeviceKindInfo& info : kDeviceKinds) {
        for (const auto& product : info.products) {
            out << "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"" << hex4(info.vendorId)
                << "\", ATTRS{idProduct}==\"" << hex4(product.productId)
                << "\", TAG+=\"uaccess\"\n";
        }
    }
    return out.str();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_udev_rule OUTPUT\n");
        return 2;
    }
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file << ruleText();
    file.close();
    if (!file) {
        std::fprintf(stderr, "make_udev_rule: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

#include "descriptors.h"

#include "report.h"

#include <array>

namespace quellix::sim {
namespace {

constexpr std::array<std::uint8_t, 27> kConfigurationDescriptor = {
    0x06, 0x1C, 0xFF, // Usage Page (vendor 0xFF1C)
    0x09, 0x92,       // Usage (0x92)
    0xA1, 0x01,       // Collection (Application)
    0x85, 0x04,       //   Report ID (4)
    0x15, 0x00,       //   Logical Minimum (0)
    0x26, 0xFF, 0x00, //   Logical Maximum (255)
    0x75, 0x08,       //   Report Size (8)
    0x95, 0x3F,       //   Report Count (63): 64 bytes with the report id
    0x09, 0x92,       //   Usage (0x92)
    0x81, 0x02,       //   Input (Data, Variable, Absolute)
    0x09, 0x92,       //   Usage (0x92)
    0x91, 0x02,       //   Output (Data, Variable, Absolute)
    0xC0,             // End Collection
};

constexpr std::array<std::uint8_t, 25> kConsumerDescriptor = {
    0x05, 0x0C,       // Usage Page (Consumer)
    0x09, 0x01,       // Usage (Consumer Control)
    0xA1, 0x01,       // Collection (Application)
    0x85, 0x03,       //   Report ID (3)
    0x19, 0x01,       //   Usage Minimum (1)
    0x2A, 0x03, 0x04, //   Usage Maximum (0x403)
    0x15, 0x01,       //   Logical Minimum (1): 0 is the null value
    0x26, 0x03, 0x04, //   Logical Maximum (0x403)
    0x75, 0x10,       //   Report Size (16)
    0x95, 0x01,       //   Report Count (1)
    0x81, 0x00,       //   Input (Data, Array, Absolute)
    0xC0,             // End Collection
};

} // namespace

std::span<const std::uint8_t> configurationDescriptor() {
    return kConfigurationDescriptor;
}

std::span<const std::uint8_t> consumerDescriptor() {
    return kConsumerDescriptor;
}

std::vector<InterfaceLayout> interfacesOf(Model model) {
    std::vector<InterfaceLayout> interfaces{{0, configurationDescriptor(), true}};
    if (device::kindInfo(model).listenerInterface.present()) {
        interfaces.push_back({1, consumerDescriptor(), false});
    }
    return interfaces;
}

std::vector<std::uint8_t> consumerReport(std::uint16_t usage) {
    return {kConsumerReportId, static_cast<std::uint8_t>(usage & 0xFF),
            static_cast<std::uint8_t>(usage >> 8)};
}

} // namespace quellix::sim

#pragma once
// HID report descriptors of the simulated devices and the interfaces that
// carry them.

#include "quellix/sim/simulator.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quellix::sim {

// Vendor-defined configuration collection (usage page 0xFF1C, usage 0x92):
// report id 4 with 63 data bytes in each direction.
std::span<const std::uint8_t> configurationDescriptor();

// Consumer-control collection (usage page 0x0C, usage 0x01): report id 3,
// one 16-bit array field whose value is the consumer usage (1..0x403);
// 0 means no usage.
std::span<const std::uint8_t> consumerDescriptor();

struct InterfaceLayout {
    int number;
    std::span<const std::uint8_t> descriptor;
    bool carriesConfiguration; // requests arrive here and are answered here
};

// Interface 0 carries the configuration collection; the mouse and the
// keyboard also have the consumer-control collection on interface 1.
std::vector<InterfaceLayout> interfacesOf(Model model);

// The usages the consumer-control field can carry.
inline constexpr std::uint16_t kFirstConsumerUsage = 0x0001;
inline constexpr std::uint16_t kLastConsumerUsage = 0x0403;

// The input report that announces a consumer usage: {3, usage low, usage high}.
std::vector<std::uint8_t> consumerReport(std::uint16_t usage);

} // namespace quellix::sim

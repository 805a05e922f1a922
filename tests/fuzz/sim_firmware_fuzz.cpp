// Arbitrary packets sent to the simulated firmware, and arbitrary text to
// the control-command parser: no crash, no access outside the memory, the
// memory areas keep their sizes and every reply is a well-formed report.

#include "control_protocol.h"
#include "firmware.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace quellix::sim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    (void)parseControlCommand(std::string_view(reinterpret_cast<const char*>(data), size));
    if (size == 0) {
        return 0;
    }
    // The first byte picks the device; then each packet is a length byte
    // followed by that many bytes.
    static constexpr struct {
        Model model;
        std::uint16_t productId;
    } kDevices[] = {{Model::Mouse, 0x5F01},
                    {Model::MousePad, 0x5F02},
                    {Model::Keyboard, 0x0632},
                    {Model::Keyboard, 0x7513},
                    {Model::Keyboard, 0x763E}};
    const auto& device = kDevices[data[0] % std::size(kDevices)];
    Firmware firmware(device.model, device.productId);
    const Region regions[] = {Region::Info,     Region::Slots, Region::DefaultKeys,
                              Region::KeyPages, Region::Macro, Region::Pointer};
    std::size_t sizes[std::size(regions)];
    for (std::size_t i = 0; i < std::size(regions); ++i) {
        sizes[i] = firmware.region(regions[i]).size();
    }
    std::size_t at = 1;
    while (at < size) {
        const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
        const Report reply = firmware.handle({data + at + 1, length});
        if (reply[0] != kConfigReportId || reportChecksum(reply) != (reply[1] | (reply[2] << 8))) {
            std::abort();
        }
        at += 1 + length;
    }
    for (std::size_t i = 0; i < std::size(regions); ++i) {
        if (firmware.region(regions[i]).size() != sizes[i]) {
            std::abort();
        }
    }
    return 0;
}

#include "quellix/config/slot_layout.h"

#include "slot_transfers.h"

#include "quellix/device/device_session.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <string>

namespace quellix::config {

SlotLighting decodeLighting(std::span<const std::uint8_t> b) {
    assert(b.size() >= kLightingBytes);
    return {b[field::kSlot],      b[field::kMode],       b[field::kBrightness],  b[field::kSpeed],
            b[field::kDirection], b[field::kMulticolor], readRgb(b, field::kRed)};
}

void encodeLighting(const SlotLighting& l, std::span<std::uint8_t> b) {
    assert(b.size() >= kLightingBytes);
    b[field::kSlot] = l.slot;
    b[field::kMode] = l.mode;
    b[field::kBrightness] = l.brightness;
    b[field::kSpeed] = l.speed;
    b[field::kDirection] = l.direction;
    b[field::kMulticolor] = l.multicolor;
    writeRgb(l.colour, b, field::kRed);
}

Rgb readRgb(std::span<const std::uint8_t> b, std::size_t at) {
    assert(b.size() >= at + 3);
    return {b[at], b[at + 1], b[at + 2]};
}

void writeRgb(Rgb colour, std::span<std::uint8_t> b, std::size_t at) {
    assert(b.size() >= at + 3);
    b[at] = colour.red;
    b[at + 1] = colour.green;
    b[at + 2] = colour.blue;
}

Result readSlotBytes(device::DeviceSession& session, std::uint16_t offset,
                     std::span<std::uint8_t> out) {
    std::array<std::uint8_t, kTransferBytes> buffer{};
    const auto part = std::span(buffer).first(std::min(out.size(), kTransferBytes));
    if (Result result = session.readBlock(offset, part); !result) {
        return result;
    }
    std::ranges::copy(part, out.begin());
    return Result::success();
}

Outcome<std::uint8_t> readActiveSlot(device::DeviceSession& session) {
    std::uint8_t active = 0;
    if (Result result = readSlotBytes(session, kActiveSlotOffset, std::span(&active, 1)); !result) {
        return std::move(result).context("reading the active slot");
    }
    if (active >= kOnBoardSlots) {
        return Result::failure(Status::Unsupported,
                               "active slot " + std::to_string(active) + " of 0..4");
    }
    return active;
}

} // namespace quellix::config

#pragma once
// How the devices lay out their on-board slots, and the nine lighting bytes
// every slot begins with.  Pure data: no device, no threads.

#include "quellix/platform/result.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quellix::device {
class DeviceSession;
}

namespace quellix::config {

// Every slot occupies 64 bytes of device memory; only the first 56 (one
// report's payload) are ever transferred.
inline constexpr std::size_t kSlotBytes = 64;
inline constexpr std::size_t kTransferBytes = 56;
// The pad and the mouse keep five slots; byte 0 of slot 0 doubles as the
// index of the active slot.
inline constexpr std::size_t kOnBoardSlots = 5;
inline constexpr std::uint16_t kActiveSlotOffset = 0;

// Offsets of the lighting bytes at the start of every slot and record.
namespace field {
inline constexpr std::size_t kSlot = 0;
inline constexpr std::size_t kMode = 1;
inline constexpr std::size_t kBrightness = 2;
inline constexpr std::size_t kSpeed = 3;
inline constexpr std::size_t kDirection = 4;
inline constexpr std::size_t kMulticolor = 5;
inline constexpr std::size_t kRed = 6;
inline constexpr std::size_t kGreen = 7;
inline constexpr std::size_t kBlue = 8;
} // namespace field
inline constexpr std::size_t kLightingBytes = 9;

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The lighting bytes decoded.  `direction` keeps its byte: any non-zero
// value means left.
struct SlotLighting {
    std::uint8_t slot = 0;
    std::uint8_t mode = 0;
    std::uint8_t brightness = 0;
    std::uint8_t speed = 0;
    std::uint8_t direction = 0;
    std::uint8_t multicolor = 0;
    Rgb colour;
    friend bool operator==(const SlotLighting&, const SlotLighting&) = default;
};

// `bytes` must hold at least kLightingBytes bytes.
SlotLighting decodeLighting(std::span<const std::uint8_t> bytes);
void encodeLighting(const SlotLighting& lighting, std::span<std::uint8_t> bytes);

// Three bytes red, green, blue at `at`.
Rgb readRgb(std::span<const std::uint8_t> bytes, std::size_t at);
void writeRgb(Rgb colour, std::span<std::uint8_t> bytes, std::size_t at);

// What a slot selection did.
enum class SlotSelection {
    OutOfRange,    // nothing was sent
    Unanswered,    // the active slot could not be read: nothing changed
    WriteFailed,   // the new slot could not be written: nothing changed
    AlreadyActive, // one read of the active slot, nothing else
    Switched,      // the record now holds the new slot: refresh the page
};
// A slot selection and why it went wrong where it did (a Switched selection
// may still carry the failed read of the new slot's bytes).
struct [[nodiscard]] SlotChange {
    SlotSelection selection = SlotSelection::OutOfRange;
    Result result;
};

// Reads `out.size()` bytes at `offset` with command 5.  On failure `out` is
// left as it was.
Result readSlotBytes(device::DeviceSession& session, std::uint16_t offset,
                     std::span<std::uint8_t> out);

// A device's slots as the host mirrors them, in device order.
template <std::size_t Slots> struct SlotImage {
    static constexpr std::size_t kSlots = Slots;
    static constexpr std::size_t kSize = Slots * kSlotBytes;
    std::array<std::uint8_t, kSize> bytes{};

    std::span<std::uint8_t, kSlotBytes> slot(std::size_t s) {
        return std::span<std::uint8_t, kSlotBytes>(bytes.data() + s * kSlotBytes, kSlotBytes);
    }
    std::span<const std::uint8_t, kSlotBytes> slot(std::size_t s) const {
        return std::span<const std::uint8_t, kSlotBytes>(bytes.data() + s * kSlotBytes, kSlotBytes);
    }
    friend bool operator==(const SlotImage&, const SlotImage&) = default;
};

} // namespace quellix::config

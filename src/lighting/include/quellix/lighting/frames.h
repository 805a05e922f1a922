#pragma once
// Device LED frames built from the cells: each channel × level / 256.

#include "quellix/device/device_kind.h"
#include "quellix/lighting/state.h"

#include <array>
#include <cstdint>
#include <span>

namespace quellix::lighting {

// Three bytes for each LED of the kind (device table): 33, 60 and 378.
inline constexpr std::size_t frameBytesOf(device::DeviceKind kind) {
    return 3 * std::size_t{device::kindInfo(kind).ledCount};
}
inline constexpr std::size_t kPadFrameBytes = frameBytesOf(device::DeviceKind::MousePad);
inline constexpr std::size_t kMouseFrameBytes = frameBytesOf(device::DeviceKind::Mouse);
inline constexpr std::size_t kKeyboardFrameBytes = frameBytesOf(device::DeviceKind::Keyboard);

void buildPadFrame(const LedCells<tables::kPadCells>& cells,
                   std::span<std::uint8_t, kPadFrameBytes> frame);
void buildMouseFrame(const LedCells<tables::kMouseCells>& cells,
                     std::span<std::uint8_t, kMouseFrameBytes> frame);
// Every variant's frame goes through the variant-2 picture-to-LED map; keys
// without an LED are not sent and unmapped positions stay 0.
void buildKeyboardFrame(const LedCells<tables::kKeyboardCells>& cells,
                        std::span<std::uint8_t, kKeyboardFrameBytes> frame);

// The keyboard frame sender sends nothing while the keyboard runs its own
// effect (modes 15 and 16).
constexpr bool keyboardReceivesFrames(std::uint8_t mode) {
    return mode != 15 && mode != 16;
}

} // namespace quellix::lighting

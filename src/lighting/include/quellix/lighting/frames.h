#pragma once
// Device LED frames built from the cells: each channel × level / 256.

#include "quellix/lighting/state.h"

#include <array>
#include <cstdint>
#include <span>

namespace quellix::lighting {

inline constexpr std::size_t kPadFrameBytes = 33;       // LEDs 0..10
inline constexpr std::size_t kMouseFrameBytes = 60;     // LEDs 0..19
inline constexpr std::size_t kKeyboardFrameBytes = 378; // 126 LED positions

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

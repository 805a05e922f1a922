#pragma once
// The colour wheel W: 192 hues in six segments of 32 steps, built from a
// rising and a falling ramp.  Entries 192..255 repeat 0..63 so that any
// byte may index it without wrapping.

#include "quellix/lighting/colour.h"

#include <array>
#include <cstdint>

namespace quellix::lighting::tables {

inline constexpr std::array<std::uint8_t, 32> kRisingRamp = {
    1,  3,  5,  7,   10,  14,  18,  22,  26,  32,  38,  44,  50,  57,  65,  73,
    81, 89, 99, 109, 119, 129, 140, 152, 164, 176, 188, 200, 213, 227, 241, 255};

inline constexpr std::array<std::uint8_t, 32> kFallingRamp = {
    248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124, 114, 104, 94, 85, 77,
    69,  61,  53,  47,  41,  35,  29,  24,  20,  16,  12,  8,   6,   4,  2,  0};

inline constexpr std::size_t kWheelHues = 192;

constexpr std::array<Rgb, 256> makeColourWheel() {
    std::array<Rgb, 256> w{};
    for (std::size_t k = 0; k < 32; ++k) {
        const std::uint8_t R = kRisingRamp[k];
        const std::uint8_t F = kFallingRamp[k];
        w[k] = {255, R, 0};
        w[32 + k] = {F, 255, 0};
        w[64 + k] = {0, 255, R};
        w[96 + k] = {0, F, 255};
        w[128 + k] = {R, 0, 255};
        w[160 + k] = {255, 0, F};
    }
    for (std::size_t k = 192; k < 256; ++k)
        w[k] = w[k - 192];
    return w;
}

inline constexpr std::array<Rgb, 256> kColourWheel = makeColourWheel();

constexpr Rgb wheel(unsigned index) {
    return kColourWheel[index & 0xFF];
}

} // namespace quellix::lighting::tables

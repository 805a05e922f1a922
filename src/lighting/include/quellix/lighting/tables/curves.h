#pragma once
// Brightness curves: the wave curve V, the breathing curve B and the
// keyboard's pulse curve K.

#include "quellix/lighting/tables/runs.h"

#include <array>
#include <cstdint>

namespace quellix::lighting::tables {

// The 48 rising values shared by V, B and K.
inline constexpr std::array<std::uint8_t, 48> kWaveRise = {
    22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
    77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
    158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};

// Wave curve V (96 entries): the rise, then the same values in reverse.
constexpr std::array<std::uint8_t, 96> makeWaveCurve() {
    std::array<std::uint8_t, 96> v{};
    for (std::size_t i = 0; i < 48; ++i) {
        v[i] = kWaveRise[i];
        v[95 - i] = kWaveRise[i];
    }
    return v;
}
inline constexpr std::array<std::uint8_t, 96> kWaveCurve = makeWaveCurve();

// Breathing curve B (128 entries): a slow start, the rise of V, then the
// same 64 values in reverse.
inline constexpr std::array<std::uint8_t, 16> kBreathingStart = {0, 1, 2,  3,  4,  5,  6,  7,
                                                                 8, 9, 10, 12, 14, 16, 18, 20};
constexpr std::array<std::uint8_t, 128> makeBreathingCurve() {
    std::array<std::uint8_t, 128> b{};
    for (std::size_t i = 0; i < 64; ++i) {
        const std::uint8_t v = i < 16 ? kBreathingStart[i] : kWaveRise[i - 16];
        b[i] = v;
        b[127 - i] = v;
    }
    return b;
}
inline constexpr std::array<std::uint8_t, 128> kBreathingCurve = makeBreathingCurve();

// Pulse curve K (192 entries): a sharp rise to 255, the fall of V, a dim
// tail and 112 dark steps.  A counter running through 0..191 gives one
// pulse of 80 frames and 112 dark frames.
inline constexpr std::array<std::uint8_t, 16> kPulseRise = {0,  4,  8,   14,  22,  33,  45,  61,
                                                            77, 94, 114, 134, 158, 182, 206, 234};
inline constexpr std::array<std::uint8_t, 16> kPulseTail = {20, 18, 16, 14, 12, 10, 9, 8,
                                                            7,  6,  5,  4,  3,  2,  2, 1};
constexpr std::array<std::uint8_t, 192> makePulseCurve() {
    std::array<std::uint8_t, 192> k{};
    for (std::size_t i = 0; i < 16; ++i)
        k[i] = kPulseRise[i];
    k[16] = 255;
    for (std::size_t i = 17; i <= 63; ++i)
        k[i] = kWaveCurve[i + 32]; // V[49..95]
    for (std::size_t i = 0; i < 16; ++i)
        k[64 + i] = kPulseTail[i];
    return k; // 80..191 stay 0
}
inline constexpr std::array<std::uint8_t, 192> kPulseCurve = makePulseCurve();

} // namespace quellix::lighting::tables

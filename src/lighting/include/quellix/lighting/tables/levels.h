#pragma once
// Brightness steps and frame delays.

#include <algorithm>
#include <array>
#include <cstdint>

namespace quellix::lighting::tables {

// Level for `brightness` 0..4.
inline constexpr std::array<std::uint8_t, 5> kBrightnessLevels = {0, 64, 128, 192, 255};

// A brightness byte beyond 4 (a damaged profile) reads as the brightest
// step instead of indexing past the table.
constexpr std::uint8_t brightnessLevel(std::uint8_t brightness) {
    return kBrightnessLevels[std::min<std::size_t>(brightness, 4)];
}

// Pad frame delay: the same row for every mode (9 ms at the fastest speed).
inline constexpr std::array<std::uint8_t, 5> kPadFrameDelay = {9, 25, 41, 53, 65};

// Mouse and keyboard frame delays, one byte sequence T read at
// mode × 5 + speed (modes 0..18).
constexpr std::array<std::uint8_t, 95> makeSharedDelays() {
    std::array<std::uint8_t, 95> t{};
    constexpr std::array<std::uint8_t, 5> normal = {0, 15, 30, 45, 60};
    constexpr std::array<std::uint8_t, 5> mode15 = {0, 9, 25, 41, 53};
    constexpr std::array<std::uint8_t, 5> late = {65, 9, 25, 41, 53};
    for (std::size_t mode = 0; mode < 19; ++mode)
        for (std::size_t s = 0; s < 5; ++s)
            t[mode * 5 + s] = mode < 15 ? normal[s] : mode == 15 ? mode15[s] : late[s];
    return t;
}
inline constexpr std::array<std::uint8_t, 95> kSharedFrameDelay = makeSharedDelays();

// The pad's table has one row for modes 0..8 only; every mode, including
// 9 and any out-of-range byte, uses that row.  A speed beyond 4 reads as 4.
constexpr unsigned padFrameDelayMs(std::uint8_t /*mode*/, std::uint8_t speed) {
    return kPadFrameDelay[std::min<std::size_t>(speed, 4)];
}

// Modes beyond 18 take the row of mode 18 and speeds beyond 4 read as 4,
// so a damaged record can neither index past T nor spin the worker.
constexpr unsigned sharedFrameDelayMs(std::uint8_t mode, std::uint8_t speed) {
    return kSharedFrameDelay[std::min<std::size_t>(mode, 18) * 5 + std::min<std::size_t>(speed, 4)];
}

} // namespace quellix::lighting::tables

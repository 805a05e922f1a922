#pragma once
// Picture-to-LED maps: for each keyboard variant, the LED number of every
// key of the keyboard picture (126 = the key has no LED).

#include "quellix/lighting/tables/key_matrix.h"
#include "quellix/lighting/tables/runs.h"

#include <array>
#include <cstdint>

namespace quellix::lighting::tables {

using LedMap = std::array<std::uint8_t, kKeyboardCells>;
inline constexpr std::uint8_t kNoLed = 126;

inline constexpr LedMap kLedMapVariant0 = expand<126>(
    {run(0, 12), run(14, 16),   times(126, 5), run(21, 61),   one(126),     run(63, 74),
     one(76),    run(80, 82),   times(126, 5), one(84),       run(86, 95),  one(97),
     one(99),    run(101, 103), times(126, 5), run(105, 111), one(113),     run(119, 121),
     one(123),   one(124),      one(104),      one(62),       times(126, 6)});

inline constexpr LedMap kLedMapVariant1 = expand<126>(
    {run(0, 15),   times(126, 5), run(18, 34), one(53),      one(35),       one(71),
     one(89),      run(36, 52),   run(68, 70), one(126),     run(54, 65),   one(67),
     run(86, 88),  times(126, 5), one(72),     run(74, 85),  run(103, 105), times(126, 5),
     run(90, 102), one(106),      one(107),    times(126, 6)});

inline constexpr LedMap kLedMapVariant2 = expand<126>(
    {run(0, 12),    run(14, 16),   times(126, 5), run(21, 54),   one(75),  run(56, 61),
     one(126),      run(63, 74),   one(76),       run(80, 82),   one(126), one(85),
     times(126, 3), one(84),       run(86, 95),   one(97),       one(99),  run(101, 103),
     times(126, 5), run(105, 111), one(113),      run(119, 121), one(123), one(124),
     one(104),      one(62),       times(126, 6)});

// The map of a keyboard variant (0, 1 or 2; any other reads as 0).
constexpr const LedMap& ledMap(unsigned variant) {
    return variant == 1 ? kLedMapVariant1 : variant == 2 ? kLedMapVariant2 : kLedMapVariant0;
}

} // namespace quellix::lighting::tables

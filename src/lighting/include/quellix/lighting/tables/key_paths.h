#pragma once
// Orders in which the keyboard effects visit the keys: the spiral, the
// snake, the rings around picture key 51, the show's groups and pairs and
// the star permutation.

#include "quellix/lighting/tables/key_matrix.h"
#include "quellix/lighting/tables/runs.h"

#include <array>
#include <cstdint>

namespace quellix::lighting::tables {

// Spiral order S, 105 keys.
inline constexpr std::array<std::uint8_t, 105> kSpiral =
    expand<105>({run(15, 0), one(21), one(42), one(63), one(84), run(105, 119), run(41, 22),
                 one(43), one(64), one(80), run(85, 99), one(78), run(61, 44), run(65, 77)});

// Snake path, 106 positions; position 62 holds no key.
inline constexpr std::array<std::uint8_t, 106> kSnakePath =
    expand<106>({run(0, 15), run(41, 21), run(42, 54), one(75), run(56, 61), one(119), run(78, 76),
                 one(55), one(kNoKey), run(74, 63), one(84), one(80), run(85, 99), run(118, 105)});

// A short list of keys: rings, show groups and show pairs.
struct KeyGroup {
    std::uint8_t count;
    std::array<std::uint8_t, 12> keys;
};

// Twelve rings around picture key 51.
inline constexpr std::array<KeyGroup, 12> kRings = {{
    {1, {51}},
    {6, {30, 50, 71, 72, 52, 31}},
    {10, {8, 29, 49, 70, 91, 92, 93, 73, 53, 32}},
    {11, {7, 28, 48, 69, 90, 109, 94, 74, 54, 33, 9}},
    {12, {6, 27, 47, 68, 89, 110, 95, 75, 55, 34, 10, 11}},
    {11, {5, 26, 46, 67, 88, 108, 111, 112, 56, 35, 12}},
    {10, {4, 25, 45, 66, 87, 113, 96, 57, 36, 13}},
    {11, {3, 24, 44, 65, 86, 114, 115, 58, 37, 15, 14}},
    {10, {2, 23, 43, 64, 85, 107, 97, 76, 59, 38}},
    {12, {1, 22, 42, 63, 84, 106, 116, 98, 77, 60, 39, 80}},
    {8, {0, 21, 105, 117, 99, 78, 61, 40}},
    {3, {118, 119, 41}},
}};

// The show's opening: 20 steps of up to six keys.
inline constexpr std::array<KeyGroup, 20> kShowGroups = {{
    {2, {0, 118}},
    {2, {1, 117}},
    {2, {2, 116}},
    {4, {3, 115, 21, 118}},
    {4, {4, 114, 22, 99}},
    {4, {5, 113, 23, 98}},
    {6, {6, 112, 24, 97, 42, 119}},
    {6, {7, 111, 25, 96, 43, 78}},
    {6, {8, 110, 26, 95, 44, 77}},
    {6, {9, 109, 27, 94, 45, 76}},
    {5, {33, 92, 28, 93, 46}},
    {5, {54, 71, 29, 92, 47}},
    {6, {74, 50, 30, 71, 48, 75}},
    {6, {94, 30, 31, 50, 49, 74}},
    {6, {93, 31, 52, 30, 50, 73}},
    {6, {92, 32, 72, 31, 51, 72}},
    {6, {71, 33, 71, 52, 52, 71}},
    {5, {50, 54, 50, 72, 53}},
    {2, {30, 74}},
    {2, {31, 94}},
}};

// The show's second stage: 16 pairs.
inline constexpr std::array<std::array<std::uint8_t, 2>, 16> kShowPairs = {{
    {30, 94},
    {31, 93},
    {32, 92},
    {33, 71},
    {54, 50},
    {74, 30},
    {94, 31},
    {93, 32},
    {92, 33},
    {71, 54},
    {50, 74},
    {51, 73},
    {52, 72},
    {53, 51},
    {73, 52},
    {72, 53},
}};

// Star permutation P: a permutation of 0..103 followed by 0, indexing S.
inline constexpr std::array<std::uint8_t, 105> kStarOrder = {
    88, 24, 101, 57, 49, 20, 5,  14, 16, 69, 35, 34, 83, 94, 6,  61, 10,  23, 39, 3,  102,
    17, 65, 22,  36, 51, 78, 18, 38, 53, 2,  62, 64, 90, 96, 74, 91, 80,  86, 89, 43, 28,
    58, 59, 12,  66, 97, 9,  48, 95, 77, 70, 72, 56, 44, 99, 68, 98, 71,  27, 81, 1,  0,
    87, 92, 40,  25, 26, 7,  30, 50, 84, 15, 60, 54, 21, 45, 67, 19, 103, 33, 41, 55, 52,
    13, 47, 42,  93, 46, 75, 37, 73, 32, 79, 8,  29, 31, 4,  85, 76, 100, 82, 11, 63, 0};

} // namespace quellix::lighting::tables

#pragma once
// The keyboard's geometry: the 23 × 6 key matrix of picture key indexes and
// the per-position phase table of the pulse effects.

#include <array>
#include <cstdint>

namespace quellix::lighting::tables {

inline constexpr std::size_t kKeyboardCells = 126; // picture keys 0..125
inline constexpr std::uint8_t kNoKey = 126;        // a position without a key
inline constexpr std::size_t kMatrixColumns = 23;
inline constexpr std::size_t kMatrixRows = 6;

namespace detail {
inline constexpr std::uint8_t _ = kNoKey;
// Rows down, columns 0..22 across, as the keyboard is drawn.
inline constexpr std::array<std::array<std::uint8_t, kMatrixColumns>, kMatrixRows>
    kMatrixRowsFirst = {{
        {_, _, 0, 1, 2, 3, 4, _, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, _, _, _, _},
        {_, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, _, 35, 36, 37, 38, 39, 40, 41},
        {_, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, _, _, 56, 57, 58, 59, 60, 61, _},
        {_, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 55, 75, _, _, _, _, 76, 77, 78, 119},
        {84, 80, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, _, _, 95, _, _, 96, _, 97, 98, 99, 118},
        {105, 106, 107, _,   _,   _,   108, _,   _, 109, _, 110,
         _,   111, _,   112, 113, 114, 115, 116, _, 117, _},
    }};
} // namespace detail

// kKeyMatrix[column][row]: the effects walk the matrix column by column.
constexpr std::array<std::array<std::uint8_t, kMatrixRows>, kMatrixColumns> transposeMatrix() {
    std::array<std::array<std::uint8_t, kMatrixRows>, kMatrixColumns> m{};
    for (std::size_t r = 0; r < kMatrixRows; ++r)
        for (std::size_t c = 0; c < kMatrixColumns; ++c)
            m[c][r] = detail::kMatrixRowsFirst[r][c];
    return m;
}
inline constexpr auto kKeyMatrix = transposeMatrix();

// Phase table: one start value per matrix position, by column (rows 0..5).
inline constexpr std::array<std::array<std::uint8_t, kMatrixRows>, kMatrixColumns> kPhaseTable = {{
    {72, 52, 32, 12, 182, 162},   // 0
    {72, 52, 32, 12, 182, 162},   // 1
    {120, 100, 80, 60, 40, 20},   // 2
    {92, 82, 72, 62, 52, 42},     // 3
    {160, 140, 120, 100, 80, 60}, // 4
    {80, 70, 60, 50, 20, 10},     // 5
    {90, 30, 0, 160, 130, 100},   // 6
    {50, 30, 10, 180, 160, 140},  // 7
    {32, 22, 12, 2, 182, 172},    // 8
    {120, 100, 80, 60, 40, 20},   // 9
    {20, 5, 185, 170, 155, 140},  // 10
    {60, 35, 15, 180, 155, 130},  // 11
    {120, 110, 100, 90, 80, 70},  // 12
    {192, 162, 132, 102, 72, 32}, // 13
    {80, 70, 60, 50, 20, 10},     // 14
    {100, 95, 90, 85, 80, 75},    // 15
    {90, 80, 70, 60, 50, 40},     // 16
    {140, 110, 80, 50, 20, 180},  // 17
    {70, 55, 40, 25, 10, 190},    // 18
    {120, 100, 80, 60, 40, 20},   // 19
    {92, 82, 72, 62, 52, 42},     // 20
    {60, 50, 40, 30, 20, 10},     // 21
    {192, 162, 132, 102, 72, 32}, // 22
}};

} // namespace quellix::lighting::tables

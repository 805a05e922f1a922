#pragma once
// Where the LEDs of the mouse pad and of the mouse sit.

#include "quellix/lighting/colour.h"

#include <array>
#include <cstdint>

namespace quellix::lighting::tables {

inline constexpr std::size_t kPadCells = 15;
inline constexpr std::size_t kMouseCells = 20;

// Pad LED grid, 7 columns by 5 rows, row 0 at the top; X = no LED.
inline constexpr std::uint8_t X = 0xFF;
inline constexpr std::size_t kPadGridColumns = 7;
inline constexpr std::size_t kPadGridRows = 5;
inline constexpr std::array<std::array<std::uint8_t, kPadGridColumns>, kPadGridRows> kPadGrid = {{
    {0, X, X, X, X, X, 14},
    {1, X, X, X, X, X, 13},
    {2, X, X, X, X, X, 12},
    {3, X, X, X, X, X, 11},
    {4, 5, 6, 7, 8, 9, 10},
}};

// Mouse zones: 7 zones of up to 3 LEDs.
struct MouseZone {
    std::uint8_t count;
    std::array<std::uint8_t, 3> leds;
};
inline constexpr std::size_t kMouseZones = 7;
inline constexpr std::array<MouseZone, kMouseZones> kMouseZone = {{
    {3, {0, 7, 19}},
    {3, {1, 8, 18}},
    {2, {2, 9, 0}},
    {3, {3, 10, 14}},
    {3, {4, 11, 15}},
    {3, {5, 12, 16}},
    {3, {6, 13, 17}},
}};

// Mouse breathing palettes: one colour per zone, three palettes.
inline constexpr std::array<std::array<Rgb, kMouseZones>, 3> kMouseBreathingPalettes = {{
    {{{255, 255, 0},
      {200, 255, 0},
      {170, 255, 0},
      {140, 255, 0},
      {110, 255, 0},
      {80, 255, 0},
      {70, 255, 0}}},
    {{{0, 255, 255},
      {0, 200, 255},
      {0, 170, 255},
      {0, 140, 255},
      {0, 110, 255},
      {0, 80, 255},
      {0, 70, 255}}},
    {{{245, 0, 255},
      {245, 0, 200},
      {245, 0, 170},
      {245, 0, 140},
      {245, 0, 110},
      {245, 0, 80},
      {245, 0, 70}}},
}};

} // namespace quellix::lighting::tables

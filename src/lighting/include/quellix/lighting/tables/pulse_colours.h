#pragma once
// Colours of the keyboard's pulse effect, indexed by a whole byte.

#include "quellix/lighting/colour.h"
#include "quellix/lighting/tables/colour_wheel.h"

#include <array>

namespace quellix::lighting::tables {

inline constexpr std::array<Rgb, 32> kPulseColourHead = {{
    {255, 0, 0},   {255, 96, 0},    {255, 255, 0}, {0, 255, 0},     {0, 255, 255}, {0, 0, 255},
    {128, 0, 255}, {255, 255, 255}, {0, 0, 0},     {0, 0, 160},     {255, 0, 0},   {255, 255, 255},
    {0, 255, 255}, {192, 192, 192}, {0, 0, 255},   {128, 128, 128}, {255, 0, 128}, {255, 128, 64},
    {128, 0, 128}, {128, 64, 0},    {255, 255, 0}, {128, 0, 0},     {0, 255, 0},   {128, 128, 0},
    {255, 0, 255}, {64, 128, 128},  {0, 0, 0},     {70, 62, 63},    {74, 67, 68},  {78, 72, 72},
    {84, 78, 79},  {89, 84, 84},
}};

// Entries 32..255 continue with the colour wheel: entry i is W[(i − 32)
// mod 192], so a hue counter that runs on past the fixed head still walks
// through saturated colours instead of landing on black.
constexpr std::array<Rgb, 256> makePulseColours() {
    std::array<Rgb, 256> t{};
    for (std::size_t i = 0; i < 32; ++i)
        t[i] = kPulseColourHead[i];
    for (std::size_t i = 32; i < 256; ++i)
        t[i] = kColourWheel[(i - 32) % kWheelHues];
    return t;
}
inline constexpr std::array<Rgb, 256> kPulseColours = makePulseColours();

} // namespace quellix::lighting::tables

#pragma once
// A colour as the LED cells and frames carry it, and the integer scalings
// every effect uses (products by 8-bit values, divisions by 256).

#include <cstdint>

namespace quellix::lighting {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};

// value × factor / 256, rounded down: the one scaling of the engine.
constexpr std::uint8_t mul256(unsigned value, unsigned factor) {
    return static_cast<std::uint8_t>((value * factor) >> 8);
}

constexpr Rgb mul256(Rgb c, unsigned factor) {
    return {mul256(c.r, factor), mul256(c.g, factor), mul256(c.b, factor)};
}

// "Scaled": a colour pre-multiplied by the brightness level, as
// channel × (level + 1) / 256.  The frame multiplies by the cell level once
// more, so such colours appear with roughly the square of the brightness.
constexpr Rgb scaled(Rgb c, std::uint8_t level) {
    return mul256(c, level + 1u);
}

} // namespace quellix::lighting

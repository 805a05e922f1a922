#include "quellix/lighting/decay.h"

#include <array>

namespace quellix::lighting {

namespace {

// Lower bounds of the bands, brightest first; a level below 1 stays 0.
constexpr std::array<std::uint8_t, 6> kBandFloor = {128, 64, 32, 17, 9, 1};

// Amount taken off per band, in the order of kBandFloor.  Every result is
// clamped at 0, which is what "not below 0" and "becomes 0" ask for.
constexpr std::array<std::array<std::uint8_t, 6>, 5> kDecayAmount = {{
    {15, 10, 7, 3, 1, 1},    // PadMouse
    {40, 30, 20, 5, 5, 1},   // PadMode5
    {40, 30, 10, 8, 4, 4},   // MouseMode5
    {30, 20, 10, 5, 4, 255}, // Keyboard: 1..8 becomes 0
    {40, 30, 10, 8, 4, 255}, // KeyboardMode5
}};

} // namespace

std::uint8_t decay(std::uint8_t level, DecayRule rule) {
    const auto& amounts = kDecayAmount[static_cast<std::size_t>(rule)];
    for (std::size_t band = 0; band < kBandFloor.size(); ++band) {
        if (level >= kBandFloor[band]) {
            const unsigned take = amounts[band];
            return level > take ? static_cast<std::uint8_t>(level - take) : 0;
        }
    }
    return 0;
}

} // namespace quellix::lighting

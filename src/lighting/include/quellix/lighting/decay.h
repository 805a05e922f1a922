#pragma once
// How a lit cell fades: each rule takes a level down by an amount chosen by
// the band the level is in, never below 0.

#include <cstdint>

namespace quellix::lighting {

enum class DecayRule {
    PadMouse,      // travelling lights outside mode 5
    PadMode5,      // pad travelling light
    MouseMode5,    // mouse travelling light
    Keyboard,      // every keyboard mode but 5
    KeyboardMode5, // the full-colour ripple
};

std::uint8_t decay(std::uint8_t level, DecayRule rule);

// The keyboard's rule for its current mode.
constexpr DecayRule keyboardDecayRule(std::uint8_t mode) {
    return mode == 5 ? DecayRule::KeyboardMode5 : DecayRule::Keyboard;
}

} // namespace quellix::lighting

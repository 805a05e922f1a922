#pragma once
// What a mode change (after the animation reset) and a page refresh place
// into the effect state so that an effect starts in the right shape.

#include "quellix/lighting/state.h"

#include <cstdint>

namespace quellix::lighting {

// Hue spread: picture keys get hues 33 apart around the wheel.
void seedHueSpread(EffectState& effect);
// Pulse seed: levels from the phase table, hues 7 per matrix column.
void seedPulses(EffectState& effect);
// Ripple seed: bit 6 of column 9 in all four masks.
void seedRipple(WavefrontMasks& masks);
// Bouncing ripple seed: bit 6 of column 22 in all four masks.
void seedBouncingRipple(WavefrontMasks& masks);
// One-colour pulses: counters from the phase table.
void seedTablePulses(KeyboardLighting& keyboard);
// One-colour pulses: counters falling 35 per row and 8 per column (mod 193).
void seedDiagonalPulses(KeyboardLighting& keyboard);

// The first travelling-light marker: the pad's at cell 0, the mouse's at
// cell 7 when `direction` is non-zero and at cell 0 otherwise.
void placePadTravellingLight(PadLighting& pad);
void placeMouseTravellingLight(MouseLighting& mouse, std::uint8_t direction);

// A mode change: the kind's animation reset, then what the new mode places.
// The keyboard's full-colour ripple (mode 5) and bouncing ripple (variant 0
// mode 15, variant 2 mode 18) get a front of their own so that they show
// something after the reset.
void changePadMode(PadLighting& pad, std::uint8_t mode);
void changeMouseMode(MouseLighting& mouse, std::uint8_t mode, std::uint8_t direction);
void changeKeyboardMode(KeyboardLighting& keyboard, unsigned variant, std::uint8_t mode);

// A page refresh places the mode's seed without a reset.
void refreshPadMode(PadLighting& pad, std::uint8_t mode);
void refreshKeyboardMode(KeyboardLighting& keyboard, unsigned variant, std::uint8_t mode);

} // namespace quellix::lighting

#pragma once
// The keyboard's wavefronts: marks in the four masks that spread one matrix
// position per call and light the keys they pass.

#include "quellix/lighting/state.h"

#include <cstdint>

namespace quellix::lighting {

// One propagation step, computed from the old contents of every mask.
void propagateWavefront(WavefrontMasks& masks);

// Marks the first matrix position of picture key `key` in all four masks;
// a key that is not in the matrix changes nothing.
void placeKeySeed(WavefrontMasks& masks, std::uint8_t key);

// Full colour: every key under a mark is lit (level 255, and with
// `multicolour` a new hue from the shared counter, advanced by 11).
void renderWavefrontFullColour(EffectState& effect, SharedByte& hueCounter, bool multicolour);

// One colour: every key's level becomes 254 under a mark and 0 elsewhere.
void renderWavefrontOneColour(EffectState& effect);

// Lights one key the way the show and the full-colour render do.
void lightKey(EffectState& effect, SharedByte& hueCounter, std::uint8_t key, bool multicolour);

} // namespace quellix::lighting

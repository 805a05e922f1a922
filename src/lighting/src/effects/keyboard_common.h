#pragma once
// Pieces shared by the keyboard's full-colour and one-colour sets: the
// show, the stars, the snake and the per-key fading.

#include "quellix/lighting/decay.h"
#include "quellix/lighting/state.h"
#include "quellix/lighting/tables/key_matrix.h"

#include <cstdint>

namespace quellix::lighting::detail {

// Calls fn(column, row, key) for every matrix position that holds a key.
template <typename Fn> void forEachMatrixKey(Fn&& fn) {
    for (std::size_t c = 0; c < tables::kMatrixColumns; ++c)
        for (std::size_t r = 0; r < tables::kMatrixRows; ++r)
            if (tables::kKeyMatrix[c][r] != tables::kNoKey)
                fn(c, r, tables::kKeyMatrix[c][r]);
}

// Fades one key's level by `rule` and returns the new level.
inline std::uint8_t fadeKey(EffectState& effect, std::uint8_t key, DecayRule rule) {
    const std::uint8_t level = decay(effect.levels.load(key), rule);
    effect.levels.store(key, level);
    return level;
}

// One stage step of the show (stages 0..4).
void advanceShow(KeyboardLighting& kb, SharedByte& hueCounter, bool multicolour);

// Lights three more stars with the star index in `slot` (0: variant 0,
// 1: variant 2, 2: the one-colour set).
inline constexpr std::size_t kStarSlotVariant0 = 0;
inline constexpr std::size_t kStarSlotVariant2 = 1;
inline constexpr std::size_t kStarSlotOneColour = 2;
void addStars(KeyboardLighting& kb, std::size_t slot, SharedByte& hueCounter);

// Lights the next key of the snake path; after the last position one frame
// lights nothing and the path starts again.
void advanceSnake(KeyboardLighting& kb, SharedByte& hueCounter);

} // namespace quellix::lighting::detail

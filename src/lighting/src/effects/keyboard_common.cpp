#include "keyboard_common.h"

#include "../step_helpers.h"
#include "quellix/lighting/tables/key_paths.h"
#include "quellix/lighting/wavefront.h"

namespace quellix::lighting::detail {

using tables::kSpiral;

namespace {
constexpr std::uint8_t kShowPairSteps = 31; // pair steps 0..30
constexpr std::uint8_t kShowWaitKey = 72;   // stage 1 waits for it to fade
constexpr std::uint8_t kShowSeedKey = 52;
constexpr std::uint8_t kShowEndKey = 105; // the wavefront has reached the corner
} // namespace

void advanceShow(KeyboardLighting& kb, SharedByte& hueCounter, bool multicolour) {
    EffectState& e = kb.effect;
    const std::uint8_t p = e.phase.load();
    switch (kb.showStage.load()) {
    case 0:
        if (p < tables::kShowGroups.size()) {
            const auto& group = tables::kShowGroups[p];
            for (std::size_t i = 0; i < group.count; ++i)
                lightKey(e, hueCounter, group.keys[i], multicolour);
        }
        // A phase left at or past the last group by another effect ends the
        // stage instead of reading past the table.
        if (p + 1u >= tables::kShowGroups.size()) {
            kb.showStage.store(1);
            e.phase.store(0);
        } else {
            e.phase.store(p + 1);
        }
        break;
    case 1:
        if (p < kShowPairSteps) {
            for (std::uint8_t key : tables::kShowPairs[p % tables::kShowPairs.size()])
                lightKey(e, hueCounter, key, multicolour);
            e.phase.store(p + 1);
        } else if (e.levels.load(kShowWaitKey) == 0) {
            kb.showStage.store(2);
            e.phase.store(0);
        }
        break;
    case 2:
        placeKeySeed(e.masks, kShowSeedKey);
        kb.showStage.store(3);
        break;
    case 3:
        renderWavefrontFullColour(e, hueCounter, multicolour);
        propagateWavefront(e.masks);
        if (e.levels.load(kShowEndKey) != 0)
            kb.showStage.store(4);
        break;
    default: // 4, and any stray value
        if (e.levels.load(kShowEndKey) == 0) {
            kb.showStage.store(0);
            e.phase.store(0);
        }
        break;
    }
}

void addStars(KeyboardLighting& kb, std::size_t slot, SharedByte& hueCounter) {
    SharedByte& index = kb.starIndex[slot];
    for (int n = 0; n < 3; ++n) {
        const std::uint8_t i = countUp(index.load(), tables::kStarOrder.size());
        index.store(i);
        const std::uint8_t key = kSpiral[tables::kStarOrder[i]];
        kb.effect.hues.store(key, hueCounter.addAndGet(10));
        kb.effect.levels.store(key, 255);
    }
}

void advanceSnake(KeyboardLighting& kb, SharedByte& hueCounter) {
    const std::uint8_t q = kb.q.load();
    if (q >= tables::kSnakePath.size()) {
        kb.q.store(0);
        return;
    }
    const std::uint8_t hue = hueCounter.addAndGet(13);
    const std::uint8_t key = tables::kSnakePath[q];
    if (key != tables::kNoKey) {
        kb.effect.levels.store(key, 254);
        kb.effect.hues.store(key, hue);
    }
    kb.q.store(q + 1);
}

} // namespace quellix::lighting::detail

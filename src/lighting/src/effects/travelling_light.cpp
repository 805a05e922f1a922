#include "travelling_light.h"

#include <array>

namespace quellix::lighting::detail {

void markAndRotate(EffectState& effect, SharedByte& hueCounter, std::size_t markedCells,
                   std::size_t ringCells, bool multicolour, bool forwards) {
    for (std::size_t i = 0; i < markedCells; ++i) {
        if (effect.ring.load(i) == 0)
            continue;
        effect.levels.store(i, 255);
        if (multicolour)
            effect.hues.store(i, hueCounter.addAndGet(11));
    }
    std::array<std::uint8_t, kRingCells> old{};
    effect.ring.copyOut(old);
    for (std::size_t i = 0; i < ringCells; ++i) {
        const std::size_t from = forwards ? (i + 1) % ringCells : (i + ringCells - 1) % ringCells;
        effect.ring.store(i, old[from]);
    }
}

} // namespace quellix::lighting::detail

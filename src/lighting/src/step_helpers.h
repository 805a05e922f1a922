#pragma once
// Small arithmetic shared by the effect steps.

#include "quellix/lighting/state.h"

#include <cstdint>

namespace quellix::lighting::detail {

// A phase that steps by ±1 within 0..range−1 and wraps.  A value left out
// of range by another effect (a mode set by a profile load runs without an
// animation reset) is first brought into range, so no curve is indexed
// past its end.
constexpr std::uint8_t stepPhase(std::uint8_t p, bool forwards, unsigned range) {
    unsigned v = p % range;
    if (forwards)
        v = v + 1 == range ? 0 : v + 1;
    else
        v = v == 0 ? range - 1 : v - 1;
    return static_cast<std::uint8_t>(v);
}

inline std::uint8_t advance(SharedByte& phase, bool forwards, unsigned range) {
    const std::uint8_t p = stepPhase(phase.load(), forwards, range);
    phase.store(p);
    return p;
}

// A counter that goes up by 1 and becomes 0 when it reaches `limit`; a
// value already past the limit restarts too, so it never indexes past a
// table of `limit` entries.
constexpr std::uint8_t countUp(std::uint8_t v, unsigned limit) {
    return v + 1u >= limit ? 0 : static_cast<std::uint8_t>(v + 1u);
}

// Byte 9 of the slot record counts breathing cycles 0, 1, 2, 0, ….
inline void advanceCycleCounter(SharedByte& counter) {
    counter.store(countUp(counter.load(), 3));
}

inline std::uint8_t advanceHue(SharedByte& hueCounter, std::uint8_t by) {
    return hueCounter.addAndGet(by);
}

} // namespace quellix::lighting::detail

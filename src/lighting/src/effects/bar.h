#pragma once
// The bouncing bar counter of pad mode 4 and mouse mode 4.

#include "quellix/lighting/state.h"

namespace quellix::lighting::detail {

// Returns the counter for this frame and moves it one step: up to `top`,
// then down to −1, then up again.
int stepBar(BarState& bar, int top);

// Whether position i is lit for counter n.
constexpr bool barLit(int i, int n, bool forwards) {
    return forwards ? i > n : i < n;
}

} // namespace quellix::lighting::detail

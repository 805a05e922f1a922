#pragma once
// The marker ring shared by the pad's and the mouse's travelling lights.

#include "quellix/lighting/state.h"

#include <cstddef>

namespace quellix::lighting::detail {

// Cells 0..markedCells−1 whose marker is set light up (level 255 and, with
// multicolour, a hue 11 further along the shared counter); then the first
// ringCells markers move one cell: towards higher indexes when `direction`
// is 0 (the last cell wraps to cell 0), towards lower ones otherwise.
void markAndRotate(EffectState& effect, SharedByte& hueCounter, std::size_t markedCells,
                   std::size_t ringCells, bool multicolour, bool forwards);

} // namespace quellix::lighting::detail

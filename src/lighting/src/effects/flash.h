#pragma once
// Flash on mouse input, shared by the pad (mode 8) and the mouse (mode 6).

#include "quellix/lighting/pacing.h"
#include "quellix/lighting/state.h"

namespace quellix::lighting::detail {

inline constexpr unsigned kFlashMs = 100;

// Consumes the trigger and tells whether the flash lights this frame; the
// flash ends after the frame in which kFlashMs have passed.  `hue` is the
// flash hue for this frame.
struct FlashFrame {
    bool lit;
    std::uint8_t hue;
};
FlashFrame stepFlash(FlashState& flash, const Clock& clock);

} // namespace quellix::lighting::detail

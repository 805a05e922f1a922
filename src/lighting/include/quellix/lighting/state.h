#pragma once
// All lighting state of the process: LED cells, per-kind effect state and
// the state shared between kinds.  Every byte is a shared byte (relaxed
// atomics): the UI thread resets and seeds it while the workers step it.

#include "quellix/lighting/led_cells.h"
#include "quellix/lighting/tables/key_matrix.h"
#include "quellix/lighting/tables/pad_mouse_layout.h"
#include "quellix/platform/shared_bytes.h"

#include <array>
#include <cstdint>

namespace quellix::lighting {

using platform::Shared;
using platform::SharedArray;
using platform::SharedByte;

inline constexpr std::size_t kMaskColumns = tables::kMatrixColumns;
inline constexpr std::size_t kRingCells = 23; // pad uses 15, mouse 23

// The wavefront masks Ma, Mb, Mc, Md: one byte per key matrix column, bit r
// for row r (bits 6 and 7 are rows below the keys).
struct WavefrontMasks {
    enum Which { A = 0, B = 1, C = 2, D = 3 };
    std::array<SharedArray<kMaskColumns>, 4> mask;

    std::uint8_t combined(std::size_t column) const {
        return mask[A].load(column) | mask[B].load(column) | mask[C].load(column) |
               mask[D].load(column);
    }
    void setBitInAll(std::size_t column, unsigned row) {
        for (auto& m : mask)
            m.store(column, static_cast<std::uint8_t>(m.load(column) | (1u << row)));
    }
    void clear() {
        for (auto& m : mask)
            m.fill(0);
    }
};

// One per kind; cleared by the kind's animation reset.
struct EffectState {
    SharedByte phase;
    SharedArray<tables::kKeyboardCells> levels;
    SharedArray<tables::kKeyboardCells> hues;
    WavefrontMasks masks;
    SharedArray<kRingCells> ring; // travelling-light markers

    void clear();
};

// Flash on mouse input (pad mode 8, mouse mode 6).  The trigger is set by
// the mouse's input notification; the effect consumes it.
struct FlashState {
    SharedByte trigger;
    SharedByte active;
    Shared<std::uint64_t> startMs;
    SharedByte hue;
};

// Bar of pad mode 4 and mouse mode 4: a counter bouncing between −1 and
// the kind's top, and whether it is on its way down.
struct BarState {
    Shared<std::int8_t> counter;
    SharedByte falling;
};

// Scanner of pad mode 7.
struct ScannerState {
    Shared<std::uint16_t> pattern{0x3F00};
    SharedByte counter{0};
    SharedByte flag{1};
};

struct PadLighting {
    LedCells<tables::kPadCells> cells;
    EffectState effect;
    FlashState flash;
    BarState bar;
    ScannerState scanner;
};

struct MouseLighting {
    LedCells<tables::kMouseCells> cells;
    EffectState effect;
    FlashState flash;
    BarState bar;
};

// The keyboard's own state beyond EffectState.  The reset clears the show
// stage only; q, the star indexes and the pulse counters run on.
struct KeyboardLighting {
    LedCells<tables::kKeyboardCells> cells;
    EffectState effect;
    SharedByte showStage;
    SharedByte q; // second phase: row bands, slow waves, snake step, level wave
    std::array<SharedByte, 3> starIndex; // variant 0 mode 9, variant 2 mode 9, variant 1 mode 7
    SharedArray<tables::kKeyboardCells> pulseCounters; // A, one-colour pulses
};

struct LightingState {
    PadLighting pad;
    MouseLighting mouse;
    KeyboardLighting keyboard;
    SharedByte hueCounter; // advanced by the travelling lights and the keyboard
    SharedByte syncPhase;  // the synchronised worker's phase
};

// Animation resets, run by every mode change.  Flash, bar and scanner
// states survive them.
void resetPadAnimation(PadLighting& pad);
void resetMouseAnimation(MouseLighting& mouse);
void resetKeyboardAnimation(KeyboardLighting& keyboard);

// The two independent triggers that the mouse's input notification sets.
void triggerFlashes(LightingState& state);

} // namespace quellix::lighting

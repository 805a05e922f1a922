// The synchronised effects: one effect over every synchronised kind, the
// keyboard by matrix column, the mouse by zone and the pad by LED.

#include "../step_helpers.h"
#include "keyboard_common.h"
#include "quellix/lighting/effects.h"
#include "quellix/lighting/tables/colour_wheel.h"
#include "quellix/lighting/tables/curves.h"
#include "quellix/lighting/tables/pad_mouse_layout.h"

namespace quellix::lighting {

namespace {

using detail::advance;
using tables::kWheelHues;
using tables::wheel;

constexpr std::size_t kSyncColumns = tables::kMatrixColumns;

// Paints column c of every target: keyboard matrix column c, mouse zone c
// (c < 7), pad LED c (c < 15).
void paintColumn(LightingState& state, SyncTargets targets, std::size_t c, Rgb colour,
                 std::uint8_t level) {
    if (targets.keyboard)
        for (std::size_t r = 0; r < tables::kMatrixRows; ++r)
            if (tables::kKeyMatrix[c][r] != tables::kNoKey)
                state.keyboard.cells.set(tables::kKeyMatrix[c][r], colour, level);
    if (targets.mouse && c < tables::kMouseZones) {
        const auto& zone = tables::kMouseZone[c];
        for (std::size_t i = 0; i < zone.count; ++i)
            state.mouse.cells.set(zone.leds[i], colour, level);
    }
    if (targets.pad && c < tables::kPadCells)
        state.pad.cells.set(c, colour, level);
}

void paintEverything(LightingState& state, SyncTargets targets, Rgb colour, std::uint8_t level) {
    if (targets.keyboard)
        for (std::size_t k = 0; k < tables::kKeyboardCells; ++k)
            state.keyboard.cells.set(k, colour, level);
    if (targets.mouse)
        for (std::size_t k = 0; k < tables::kMouseCells; ++k)
            state.mouse.cells.set(k, colour, level);
    if (targets.pad)
        for (std::size_t k = 0; k < tables::kPadCells; ++k)
            state.pad.cells.set(k, colour, level);
}

} // namespace

void runSyncEffect(LightingState& state, const LightingFields& f, SyncTargets targets) {
    const std::uint8_t level = f.level();
    switch (f.mode) {
    case 0: // wave
        if (f.multicolour()) {
            const unsigned p = advance(state.syncPhase, f.forwards(), kWheelHues);
            for (std::size_t c = 0; c < kSyncColumns; ++c)
                paintColumn(state, targets, c, wheel((p + 7 * c) % kWheelHues), level);
        } else {
            const unsigned p = advance(state.syncPhase, f.forwards(), 96);
            for (std::size_t c = 0; c < kSyncColumns; ++c)
                paintColumn(state, targets, c, f.colour(),
                            mul256(level, tables::kWaveCurve[(p + 10 * (c + 1)) % 96]));
        }
        break;
    case 1: // colour cycle
        paintEverything(state, targets, wheel(advance(state.syncPhase, f.forwards(), kWheelHues)),
                        level);
        break;
    case 2: { // breathing
        const unsigned p = advance(state.syncPhase, f.forwards(), 128);
        paintEverything(state, targets, f.multicolour() ? wheel(p) : f.colour(),
                        mul256(level, tables::kBreathingCurve[p]));
        break;
    }
    case 3: // static
        paintEverything(state, targets, f.colour(), level);
        break;
    default:
        break;
    }
}

} // namespace quellix::lighting

#include "lighting_harness.h"
#include "quellix/lighting/tables/colour_wheel.h"
#include "quellix/lighting/tables/curves.h"

#include <gtest/gtest.h>

namespace quellix::lighting::testing {
namespace {

TEST(SyncEffects, WaveColumnsMapToKeysZonesAndPadLeds) {
    Harness h;
    const LightingFields record = makeFields(0, 1, 1, 4);
    syncIteration(*h.state, record, {true, true, true}, h.pacer);
    // Phase 1: column c takes W[1 + 7c].
    EXPECT_EQ(h.state->keyboard.cells.cell(1), (Cell{tables::kColourWheel[22], 255})); // column 3
    EXPECT_EQ(h.state->mouse.cells.cell(14), (Cell{tables::kColourWheel[22], 255}));   // zone 3
    EXPECT_EQ(h.state->pad.cells.cell(14), (Cell{tables::kColourWheel[99], 255}));     // LED 14
}

TEST(SyncEffects, OnlyTheSynchronisedKindsAreWritten) {
    Harness h;
    syncIteration(*h.state, makeFields(3, 0, 0, 2, {10, 20, 30}, 3), {false, true, false}, h.pacer);
    EXPECT_EQ(h.clock.tickCount(), 3u); // the raw speed in milliseconds
    EXPECT_EQ(h.state->mouse.cells.cell(19), (Cell{{10, 20, 30}, 128}));
    EXPECT_EQ(h.state->pad.cells.cell(0), Cell{});
    EXPECT_EQ(h.state->keyboard.cells.cell(0), Cell{});
}

TEST(SyncEffects, BreathingAndSingleColourWave) {
    Harness h;
    syncIteration(*h.state, makeFields(2, 0, 1, 4, {0, 0, 99}), {false, false, true}, h.pacer);
    EXPECT_EQ(h.state->pad.cells.cell(5),
              (Cell{{0, 0, 99}, mul256(255, tables::kBreathingCurve[1])}));
    syncIteration(*h.state, makeFields(0, 0, 0, 4, {0, 0, 99}), {false, false, true}, h.pacer);
    // Phase 1 → 0 in the 96-step range; pad LED 2 is column 2.
    EXPECT_EQ(h.state->pad.cells.level(2), mul256(255, tables::kWaveCurve[30]));
}

TEST(SyncEffects, OneColourKeyboardGetsTheCellLevels) {
    Harness h;
    syncIteration(*h.state, makeFields(3, 0, 0, 1), {true, false, false}, h.pacer);
    const FrameBytes frame = syncKeyboardFrame(*h.state, 1, h.buffers);
    ASSERT_EQ(frame.size(), 126u);
    EXPECT_EQ(frame[0], 64);
    EXPECT_EQ(syncKeyboardFrame(*h.state, 0, h.buffers).size(), 378u);
}

} // namespace
} // namespace quellix::lighting::testing

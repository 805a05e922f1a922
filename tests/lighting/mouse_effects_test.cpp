#include "lighting_harness.h"
#include "quellix/lighting/tables/colour_wheel.h"
#include "quellix/lighting/tables/curves.h"

#include <gtest/gtest.h>

namespace quellix::lighting::testing {
namespace {

TEST(MouseEffects, EveryFrameWaitsTwentyMsBeforeSending) {
    Harness h(makeFields(3, 0, 0, 4, {10, 20, 30}, 2));
    const auto step = h.mouse();
    EXPECT_EQ(step.sleptMs, 30u + 20u); // T[3 × 5 + 2], then the send delay
    ASSERT_EQ(step.frame.size(), 60u);
    EXPECT_EQ(h.state->mouse.cells.cell(19), (Cell{scaled({10, 20, 30}, 255), 255}));
}

TEST(MouseEffects, ZoneWaveSpreads32HuesPerZone) {
    Harness h(makeFields(0, 1, 1, 4));
    h.mouse(); // phase 1
    for (std::size_t z = 0; z < tables::kMouseZones; ++z) {
        const auto& zone = tables::kMouseZone[z];
        for (std::size_t i = 0; i < zone.count; ++i)
            EXPECT_EQ(h.state->mouse.cells.colour(zone.leds[i]),
                      scaled(tables::wheel((1 + 32 * z) % 192), 255));
    }
}

TEST(MouseEffects, BreathingUsesThePaletteOfByteNine) {
    Harness h(makeFields(2, 1, 1, 4));
    h.record.store(kCycleCounterByte, 2);
    h.mouse(); // p = 1
    const Rgb expected =
        scaled(mul256(tables::kMouseBreathingPalettes[2][3], tables::kBreathingCurve[1] + 1u), 255);
    EXPECT_EQ(h.state->mouse.cells.colour(3), expected);
    // A damaged byte 9 reads as palette 0 instead of reading past the table.
    h.record.store(kCycleCounterByte, 200);
    h.mouse();
    EXPECT_EQ(h.state->mouse.cells.colour(0),
              scaled(mul256(tables::kMouseBreathingPalettes[0][0], tables::kBreathingCurve[2] + 1u),
                     255));
}

TEST(MouseEffects, TravellingLightStartsAtCellSevenGoingDown) {
    Harness h(makeFields(5, 0, 1, 4, {0, 0, 200}));
    changeMouseMode(h.state->mouse, 5, 1);
    h.mouse(); // cell 7 marked (not shown), marker moves to 6
    EXPECT_EQ(h.state->mouse.effect.levels.load(6), 0);
    h.mouse(); // cell 6 lights: zone 6
    EXPECT_EQ(h.state->mouse.effect.levels.load(6), 215);
    EXPECT_EQ(h.state->mouse.cells.cell(13), (Cell{{0, 0, 200}, mul256(255, 215)}));
}

TEST(MouseEffects, Mode5DecayTakesThreeToZero) {
    EXPECT_EQ(decay(3, DecayRule::MouseMode5), 0);
}

TEST(MouseEffects, FlashKeepsTheLevelWhenDark) {
    Harness h(makeFields(6, 0, 0, 3, {0, 255, 0}));
    h.mouse();
    EXPECT_EQ(h.state->mouse.cells.cell(0), (Cell{kBlack, 192}));
    triggerFlashes(*h.state);
    h.mouse();
    EXPECT_EQ(h.state->mouse.cells.cell(0), (Cell{{0, 255, 0}, 192}));
    for (int i = 0; i < 6; ++i)
        h.mouse(); // 20 ms a frame: the flash ends after the frame at 100 ms
    EXPECT_EQ(h.state->mouse.cells.colour(0), kBlack);
}

TEST(MouseEffects, BarOverZonesUnlitKeepLevel) {
    Harness h(makeFields(4, 0, 0, 4, {50, 50, 50}));
    h.mouse(); // n = 0: nothing lit
    h.mouse(); // n = 1: zone 0 lit
    EXPECT_EQ(h.state->mouse.cells.cell(7), (Cell{scaled({50, 50, 50}, 255), 255}));
    EXPECT_EQ(h.state->mouse.cells.cell(1), (Cell{kBlack, 255}));
}

} // namespace
} // namespace quellix::lighting::testing

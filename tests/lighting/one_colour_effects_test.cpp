#include "lighting_harness.h"
#include "quellix/lighting/tables/curves.h"
#include "quellix/lighting/tables/led_maps.h"

#include <gtest/gtest.h>

namespace quellix::lighting::testing {
namespace {

using tables::kLedMapVariant1;

TEST(OneColourEffects, FrameLengthsAndModesWithoutAStep) {
    for (std::uint8_t mode = 0; mode <= 18; ++mode) {
        Harness h(makeFields(mode));
        changeKeyboardMode(h.state->keyboard, 1, mode);
        const auto step = h.keyboard(1);
        const std::size_t expected = mode == 10 ? 108 : mode <= 10 ? 126 : 0;
        EXPECT_EQ(step.frame.size(), expected) << int(mode);
    }
}

TEST(OneColourEffects, BreathingIgnoresDirection) {
    for (std::uint8_t direction : {0, 1}) {
        Harness h(makeFields(1, 0, direction, 4));
        h.keyboard(1);
        const auto step = h.keyboard(1);
        EXPECT_EQ(h.state->keyboard.effect.phase.load(), 2) << int(direction);
        for (std::uint8_t b : step.frame)
            EXPECT_EQ(b, mul256(255, tables::kBreathingCurve[2]));
    }
}

TEST(OneColourEffects, LevelsGoThroughTheVariantOneMap) {
    Harness h(makeFields(2, 0, 0, 2));
    const auto step = h.keyboard(1);
    ASSERT_EQ(step.frame.size(), 126u);
    EXPECT_EQ(step.frame[0], 128);
    EXPECT_EQ(h.state->keyboard.cells.cell(7), (Cell{kOneColourPreview, 128}));

    Harness wave(makeFields(0, 0, 1, 4));
    const auto w = wave.keyboard(1); // p = 1; column 1 row 1 is key 21
    EXPECT_EQ(w.frame[kLedMapVariant1[21]], mul256(255, tables::kWaveCurve[8]));
}

TEST(OneColourEffects, RippleShowsOnlyTheFrontOneDecayStepBelow254) {
    Harness h(makeFields(3, 0, 0, 4));
    changeKeyboardMode(h.state->keyboard, 1, 3);
    const auto first = h.keyboard(1);
    EXPECT_EQ(first.sleptMs, 0u + 40u + 40u);
    const auto second = h.keyboard(1);
    // Key 109 (column 9, row 5) holds the front: 254 − 30.
    EXPECT_EQ(second.frame[kLedMapVariant1[109]], mul256(255, 224));
    int lit = 0;
    for (std::uint8_t b : second.frame)
        lit += b != 0;
    EXPECT_EQ(lit, 1);
}

TEST(OneColourEffects, DiagonalPulsesRunFromTheirSeed) {
    Harness h(makeFields(9, 0, 0, 4));
    changeKeyboardMode(h.state->keyboard, 1, 9);
    const auto step = h.keyboard(1);
    EXPECT_EQ(h.state->keyboard.pulseCounters.load(84), 18);
    EXPECT_EQ(step.frame[kLedMapVariant1[84]], mul256(255, tables::kPulseCurve[18]));
}

TEST(OneColourEffects, CustomOnOffReadsTheSetInUse) {
    Harness h(makeFields(6, 0, 0, 4));
    platform::SharedArray<4> state;
    platform::SharedArray<5 * 378> table;
    state.store(0, 2);
    table.store(2 * 378 + kLedMapVariant1[30], 255);
    h.custom = {state.span(), table.span()};
    const auto step = h.keyboard(1);
    EXPECT_EQ(step.frame[kLedMapVariant1[30]], 254);
    EXPECT_EQ(step.frame[kLedMapVariant1[31]], 0);
}

TEST(OneColourEffects, StarsSleepInsideTheStep) {
    Harness h(makeFields(7, 0, 0, 4, {}, 1));
    EXPECT_EQ(h.keyboard(1).sleptMs, 15u + 100u);
    EXPECT_EQ(h.state->keyboard.starIndex[2].load(), 3);
}

} // namespace
} // namespace quellix::lighting::testing

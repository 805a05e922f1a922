#include "lighting_harness.h"
#include "quellix/lighting/tables/colour_wheel.h"
#include "quellix/lighting/tables/curves.h"
#include "quellix/lighting/tables/key_paths.h"
#include "quellix/lighting/tables/pulse_colours.h"

#include <gtest/gtest.h>

#include <map>

namespace quellix::lighting::testing {
namespace {

using tables::kKeyMatrix;
using tables::kNoKey;

TEST(KeyboardEffects, ColumnWaveColumnThreeAtPhaseTen) {
    Harness h(makeFields(0, 1, 1, 4));
    h.state->keyboard.effect.phase.store(9);
    h.keyboard(0);
    ASSERT_EQ(h.state->keyboard.effect.phase.load(), 10);
    for (std::uint8_t key : kKeyMatrix[3]) {
        if (key != kNoKey) {
            EXPECT_EQ(h.state->keyboard.cells.cell(key), (Cell{tables::kColourWheel[31], 255}));
        }
    }
}

TEST(KeyboardEffects, HueDriftTakesTheSpreadHue192ToZero) {
    Harness h(makeFields(4, 0, 0, 4));
    changeKeyboardMode(h.state->keyboard, 0, 4);
    const auto step = h.keyboard(0);
    EXPECT_EQ(step.sleptMs, 0u + 12u);
    EXPECT_EQ(h.state->keyboard.effect.hues.load(63), 0);
    EXPECT_EQ(h.state->keyboard.cells.colour(63), tables::kColourWheel[0]);
    EXPECT_EQ(h.state->keyboard.effect.hues.load(0), 34);
}

// Keys lit by a star this frame are the ones at 255 − 30 after the fade.
std::vector<std::uint8_t> freshStars(const KeyboardLighting& kb) {
    std::vector<std::uint8_t> keys;
    for (std::uint8_t k = 0; k < tables::kKeyboardCells; ++k)
        if (kb.effect.levels.load(k) == 225)
            keys.push_back(k);
    return keys;
}

TEST(KeyboardEffects, StarsCycleLightsKey15TwiceAndKey77Never) {
    Harness h(makeFields(9, 1, 0, 4));
    std::map<int, int> lit;
    for (int frame = 0; frame < 35; ++frame) { // 105 stars
        h.keyboard(2);
        for (std::uint8_t k : freshStars(h.state->keyboard))
            ++lit[k];
    }
    EXPECT_EQ(h.state->keyboard.starIndex[1].load(), 0);
    EXPECT_EQ(h.state->keyboard.starIndex[0].load(), 0); // variant 0 keeps its own index
    EXPECT_EQ(lit[15], 2);
    EXPECT_EQ(lit.count(77), 0u);
    EXPECT_EQ(lit.size(), 104u);
}

TEST(KeyboardEffects, SnakeRestsOneFrameAfterPosition105) {
    Harness h(makeFields(12, 0, 0, 4));
    h.state->keyboard.q.store(105);
    h.keyboard(0);
    EXPECT_EQ(h.state->keyboard.effect.levels.load(105), 224); // 254 − 30
    h.keyboard(0);
    EXPECT_EQ(h.state->keyboard.q.load(), 0);
    for (std::uint8_t k = 0; k < tables::kKeyboardCells; ++k)
        EXPECT_NE(h.state->keyboard.effect.levels.load(k), 224) << int(k);
    h.keyboard(0);
    EXPECT_EQ(h.state->keyboard.effect.levels.load(0), 224);
    EXPECT_EQ(h.state->keyboard.q.load(), 1);
}

TEST(KeyboardEffects, ShowWaitsInStageOneUntilKey72HasFaded) {
    Harness h(makeFields(6, 1, 0, 4));
    changeKeyboardMode(h.state->keyboard, 2, 6);
    KeyboardLighting& kb = h.state->keyboard;
    int pairSteps = 0;
    bool sawStageTwo = false;
    for (int frame = 0; frame < 200 && !sawStageTwo; ++frame) {
        const std::uint8_t stage = kb.showStage.load();
        const std::uint8_t p = kb.effect.phase.load();
        const std::uint8_t level72 = kb.effect.levels.load(72);
        h.keyboard(2);
        if (stage == 1 && p <= 30)
            ++pairSteps;
        if (stage == 1 && kb.showStage.load() == 2) {
            EXPECT_EQ(p, 31);
            EXPECT_EQ(level72, 0);
            sawStageTwo = true;
        } else if (stage == 1 && p == 31) {
            EXPECT_NE(level72, 0); // waiting
        }
    }
    EXPECT_TRUE(sawStageTwo);
    EXPECT_EQ(pairSteps, 31);
    h.keyboard(2); // stage 2 seeds key 52 and moves on
    EXPECT_EQ(kb.showStage.load(), 3);
    EXPECT_EQ(kb.effect.masks.combined(11), 0x04); // key 52: column 11, row 2
}

TEST(KeyboardEffects, ShowCyclesBackToStageZero) {
    Harness h(makeFields(6, 0, 0, 4));
    changeKeyboardMode(h.state->keyboard, 0, 6);
    bool reachedFour = false, backToZero = false;
    for (int frame = 0; frame < 400 && !backToZero; ++frame) {
        h.keyboard(0);
        const std::uint8_t stage = h.state->keyboard.showStage.load();
        reachedFour = reachedFour || stage == 4;
        backToZero = reachedFour && stage == 0;
    }
    EXPECT_TRUE(backToZero);
}

TEST(KeyboardEffects, PulsesFromTheSeedNeverIndexPastTheCurve) {
    Harness h(makeFields(11, 1, 0, 4));
    changeKeyboardMode(h.state->keyboard, 2, 11);
    // Column 13 row 0 (key 10) starts at 192: one past the curve's end.
    ASSERT_EQ(h.state->keyboard.effect.levels.load(10), 192);
    const std::uint8_t hueBefore = h.state->hueCounter.load();
    h.keyboard(2);
    EXPECT_EQ(h.state->keyboard.effect.levels.load(10), 0);
    EXPECT_EQ(h.state->keyboard.cells.level(10), 0);
    EXPECT_NE(h.state->keyboard.effect.hues.load(10), 91); // a new hue, 7 along
    EXPECT_NE(h.state->hueCounter.load(), hueBefore);
    // Variant 2 scales the pulse colour by the curve and the level.
    const std::uint8_t key = 5; // column 8 row 0: 32 → 33, hue 56
    const std::uint8_t t = h.state->keyboard.effect.levels.load(key);
    ASSERT_EQ(t, 33);
    ASSERT_EQ(h.state->keyboard.effect.hues.load(key), 56);
    const Rgb colour = tables::kPulseColours[h.state->keyboard.effect.hues.load(key)];
    EXPECT_EQ(h.state->keyboard.cells.colour(key),
              mul256(mul256(colour, tables::kPulseCurve[t]), 255));
}

TEST(KeyboardEffects, RingsStepFourUpOrTwoDownWrappingTo192) {
    Harness h(makeFields(13, 0, 0, 4));
    const auto step = h.keyboard(0);
    EXPECT_EQ(step.sleptMs, 0u + 10u);
    EXPECT_EQ(h.state->keyboard.effect.phase.load(), 192);
    EXPECT_EQ(h.state->keyboard.cells.colour(51), tables::kColourWheel[21]);
    h.setFields(makeFields(13, 0, 1, 4));
    h.keyboard(0);
    EXPECT_EQ(h.state->keyboard.effect.phase.load(), 0);
}

TEST(KeyboardEffects, ModesFifteenAndSixteenSendNothingButStillStep) {
    for (std::uint8_t mode : {15, 16}) {
        Harness h(makeFields(mode, 0, 0, 4));
        h.state->keyboard.cells.set(4, {9, 9, 9}, 9);
        const auto step = h.keyboard(2); // dark
        EXPECT_TRUE(step.frame.empty()) << int(mode);
        EXPECT_EQ(h.state->keyboard.cells.cell(4), (Cell{kBlack, 0}));
        EXPECT_TRUE(h.keyboard(0).frame.empty());
    }
    Harness h(makeFields(14, 0, 0, 4));
    EXPECT_EQ(h.keyboard(0).frame.size(), 378u);
}

TEST(KeyboardEffects, RippleFrontRunsUpColumnNineAndBack) {
    Harness h(makeFields(5, 0, 0, 4, {0, 255, 0}));
    seedRipple(h.state->keyboard.effect.masks);
    std::vector<int> topRows;
    for (int frame = 0; frame < 16; ++frame) {
        h.keyboard(0);
        // Highest lit row of column 9 this frame (level 255 − 40).
        int row = -1;
        for (int r = 0; r < 6; ++r)
            if (kKeyMatrix[9][r] != kNoKey &&
                h.state->keyboard.effect.levels.load(kKeyMatrix[9][r]) == 215)
                row = r;
        topRows.push_back(row);
    }
    // Bit 6 is below the keys; the front reaches row 5 on the second frame,
    // the top row on the seventh, and comes back down.
    EXPECT_EQ(topRows[0], -1);
    EXPECT_EQ(topRows[1], 5);
    EXPECT_EQ(topRows[6], 0);
    EXPECT_EQ(topRows[7], 1);
}

TEST(KeyboardEffects, CustomColoursThroughTheVariantsOwnMap) {
    Harness h(makeFields(8, 0, 0, 2));
    platform::SharedArray<4> state;
    platform::SharedArray<5 * 378> table;
    state.store(0, 1);
    table.store(378 + 3 * 14, 200); // set 1, LED 14 = picture key 13 in variant 0
    h.custom = {state.span(), table.span()};
    h.keyboard(0);
    EXPECT_EQ(h.state->keyboard.cells.cell(13), (Cell{{200, 0, 0}, 128}));
    EXPECT_EQ(h.state->keyboard.cells.cell(80), (Cell{kBlack, 128})); // no LED in variant 0
    state.store(0, 9);                                                // past the five sets: set 0
    h.keyboard(0);
    EXPECT_EQ(h.state->keyboard.cells.colour(13), kBlack);
}

TEST(KeyboardEffects, HueCounterAdvancesOncePerFrame) {
    Harness h(makeFields(3));
    h.keyboard(0);
    h.keyboard(2);
    EXPECT_EQ(h.state->hueCounter.load(), 2);
}

} // namespace
} // namespace quellix::lighting::testing

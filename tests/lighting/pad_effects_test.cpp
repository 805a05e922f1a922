#include "lighting_harness.h"
#include "quellix/lighting/tables/colour_wheel.h"
#include "quellix/lighting/tables/curves.h"

#include <gtest/gtest.h>

namespace quellix::lighting::testing {
namespace {

TEST(PadEffects, StaticAtBrightnessTwo) {
    Harness h(makeFields(3, 0, 0, 2, {255, 0, 0}));
    const auto step = h.pad();
    for (std::size_t i = 0; i < tables::kPadCells; ++i)
        EXPECT_EQ(h.state->pad.cells.cell(i), (Cell{{128, 0, 0}, 128})) << i;
    ASSERT_EQ(step.frame.size(), 33u);
    for (std::size_t led = 0; led < 11; ++led) {
        EXPECT_EQ(step.frame[3 * led], 64) << led;
        EXPECT_EQ(step.frame[3 * led + 1], 0);
    }
    EXPECT_EQ(step.sleptMs, 9u); // D_pad at speed 0
}

TEST(PadEffects, WavePhaseWrapsAndLedTwoTakesW14) {
    Harness h(makeFields(0, 1, 1, 4));
    h.state->pad.effect.phase.store(190);
    h.pad();
    EXPECT_EQ(h.state->pad.effect.phase.load(), 191);
    h.pad();
    EXPECT_EQ(h.state->pad.effect.phase.load(), 0);
    EXPECT_EQ(h.state->pad.cells.colour(2), scaled(tables::kColourWheel[14], 255));
    EXPECT_EQ(h.state->pad.cells.level(2), 255);
}

TEST(PadEffects, SingleColourWaveLevelsFollowTheNextLed) {
    Harness h(makeFields(0, 0, 0, 4, {100, 200, 50}));
    h.pad(); // direction 0: phase 0 → 95
    const unsigned p = 95;
    for (std::size_t i = 0; i < tables::kPadCells; ++i) {
        const unsigned q = (p + 10 * i) % 96, qNext = (p + 10 * (i + 1)) % 96;
        EXPECT_EQ(h.state->pad.cells.colour(i),
                  mul256(scaled({100, 200, 50}, 255), tables::kWaveCurve[q] + 1u));
        EXPECT_EQ(h.state->pad.cells.level(i), mul256(255, tables::kWaveCurve[qNext]));
    }
}

TEST(PadEffects, BreathingCountsCyclesInByteNine) {
    Harness h(makeFields(2, 0, 1, 4));
    for (int frame = 0; frame < 128 * 3; ++frame)
        h.pad();
    // Phase returned to 0 three times: 0 → 1 → 2 → 0.
    EXPECT_EQ(h.record.load(kCycleCounterByte), 0);
    h.pad();
    EXPECT_EQ(h.state->pad.cells.level(0), mul256(255, tables::kBreathingCurve[1]));
    for (int frame = 0; frame < 127; ++frame)
        h.pad();
    EXPECT_EQ(h.record.load(kCycleCounterByte), 1);
}

TEST(PadEffects, TravellingLightHeadAndFadingTail) {
    Harness h(makeFields(5, 0, 0, 4, {0, 0, 255}));
    changePadMode(h.state->pad, 5);
    const auto first = h.pad();
    EXPECT_EQ(first.sleptMs, 9u + 50u);
    EXPECT_EQ(h.state->pad.cells.level(0), mul256(255, 215)); // 255 − 40
    h.pad();
    h.pad();
    // The head moved to higher cells; cell 0 fades by the mode-5 rule.
    EXPECT_EQ(h.state->pad.effect.levels.load(2), 215);
    EXPECT_EQ(h.state->pad.effect.levels.load(1), 175);
    EXPECT_EQ(h.state->pad.effect.levels.load(0), 135);
    for (int i = 0; i < 13; ++i)
        h.pad();
    EXPECT_EQ(h.state->pad.effect.levels.load(0), 215); // once round the ring of 15
}

TEST(PadEffects, FlashLightsAfterTriggerAndEndsAfter100Ms) {
    Harness h(makeFields(8, 0, 0, 4, {0, 255, 0}, 4)); // 65 ms per frame
    h.pad();
    EXPECT_EQ(h.state->pad.cells.level(0), 0);
    triggerFlashes(*h.state);
    h.pad(); // t = 0 after trigger
    EXPECT_EQ(h.state->pad.cells.cell(3), (Cell{{0, 255, 0}, 255}));
    h.pad(); // 65 ms
    EXPECT_EQ(h.state->pad.cells.level(3), 255);
    h.pad(); // 130 ms: still lit in this frame, then inactive
    EXPECT_EQ(h.state->pad.cells.level(3), 255);
    h.pad();
    EXPECT_EQ(h.state->pad.cells.cell(3), (Cell{kBlack, 0}));
    EXPECT_EQ(h.state->pad.flash.hue.load(), 14);
    EXPECT_EQ(h.state->mouse.flash.trigger.load(), 1); // the mouse's own trigger is untouched
}

TEST(PadEffects, BarBouncesBetweenMinusOneAndFifteen) {
    Harness h(makeFields(4, 0, 0, 4, {9, 9, 9}));
    auto litCount = [&] {
        int n = 0;
        for (std::size_t i = 0; i < tables::kPadCells; ++i)
            n += h.state->pad.cells.level(i) != 0;
        return n;
    };
    std::vector<int> counts;
    for (int f = 0; f < 34; ++f) {
        const auto step = h.pad();
        EXPECT_EQ(step.sleptMs, 9u + 100u);
        counts.push_back(litCount());
    }
    // LEDs below n are lit: 0, 1, …, 15, 14, …, 0 (n = 0 and n = −1), then up again.
    const std::vector<int> expected = {0,  1,  2,  3,  4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 14,
                                       13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3,  2,  1,  0,  0,  0,  1};
    EXPECT_EQ(counts, expected);
}

TEST(PadEffects, ScannerPausesAtBothEnds) {
    Harness h(makeFields(7, 0, 0, 4, {1, 2, 3}));
    std::vector<std::uint64_t> sleeps;
    for (int f = 0; f < 32; ++f)
        sleeps.push_back(h.pad().sleptMs);
    // 14 sliding frames, a pause, 15 frames back, a pause.
    for (int f = 0; f < 31; ++f)
        EXPECT_EQ(sleeps[f], f == 14 || f == 30 ? 9u + 50u + 1000u : 9u + 50u) << f;
    // Frame 7 (pattern 0x007E) lights columns 1..6 only.
    Harness g(makeFields(7, 0, 0, 4, {1, 2, 3}));
    for (int f = 0; f < 6; ++f)
        g.pad();
    g.pad();
    EXPECT_EQ(g.state->pad.cells.level(0), 0);    // column 0
    EXPECT_EQ(g.state->pad.cells.level(5), 255);  // column 1
    EXPECT_EQ(g.state->pad.cells.level(14), 255); // column 6
}

TEST(PadEffects, ModeWithoutEffectResendsUnchangedCells) {
    Harness h(makeFields(9));
    h.state->pad.cells.set(1, {200, 100, 0}, 128);
    const auto step = h.pad();
    EXPECT_EQ(step.frame[3], 100);
    EXPECT_EQ(step.frame[4], 50);
    EXPECT_EQ(step.sleptMs, 9u);
}

} // namespace
} // namespace quellix::lighting::testing

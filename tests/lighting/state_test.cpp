#include "lighting_harness.h"

#include <gtest/gtest.h>

namespace quellix::lighting::testing {
namespace {

template <std::size_t N> void fillAll(platform::SharedArray<N>& a, std::uint8_t v) {
    a.fill(v);
}

void dirty(EffectState& e) {
    e.phase.store(77);
    fillAll(e.levels, 9);
    fillAll(e.hues, 8);
    for (auto& m : e.masks.mask)
        fillAll(m, 0x21);
    fillAll(e.ring, 1);
}

template <std::size_t N> bool allEqual(const platform::SharedArray<N>& a, std::uint8_t v) {
    for (std::size_t i = 0; i < N; ++i)
        if (a.load(i) != v)
            return false;
    return true;
}

bool cleared(const EffectState& e) {
    bool masks = true;
    for (const auto& m : e.masks.mask)
        masks = masks && allEqual(m, 0);
    return e.phase.load() == 0 && allEqual(e.levels, 0) && allEqual(e.hues, 0) && masks &&
           allEqual(e.ring, 0);
}

TEST(LightingReset, KeyboardClearsEffectStateAndShowStageButKeepsTheRest) {
    Harness h;
    KeyboardLighting& kb = h.state->keyboard;
    dirty(kb.effect);
    kb.showStage.store(3);
    kb.q.store(40);
    kb.starIndex[1].store(12);
    kb.pulseCounters.fill(5);
    kb.cells.set(7, {1, 2, 3}, 4);
    h.state->hueCounter.store(99);

    resetKeyboardAnimation(kb);

    EXPECT_TRUE(cleared(kb.effect));
    EXPECT_EQ(kb.showStage.load(), 0);
    EXPECT_EQ(kb.q.load(), 40);
    EXPECT_EQ(kb.starIndex[1].load(), 12);
    EXPECT_TRUE(allEqual(kb.pulseCounters, 5));
    EXPECT_EQ(kb.cells.cell(7), (Cell{{1, 2, 3}, 4})); // cells keep their contents
    EXPECT_EQ(h.state->hueCounter.load(), 99);
}

TEST(LightingReset, PadAndMouseKeepFlashBarAndScanner) {
    Harness h;
    PadLighting& pad = h.state->pad;
    MouseLighting& mouse = h.state->mouse;
    dirty(pad.effect);
    dirty(mouse.effect);
    pad.flash.active.store(1);
    pad.flash.hue.store(28);
    pad.bar.counter.store(6);
    pad.scanner.counter.store(4);
    mouse.bar.falling.store(1);

    changePadMode(pad, 5);
    changeMouseMode(mouse, 5, 1);

    // Everything cleared but the marker each mode change places.
    EXPECT_EQ(pad.effect.ring.load(0), 1);
    pad.effect.ring.store(0, 0);
    EXPECT_TRUE(cleared(pad.effect));
    EXPECT_EQ(mouse.effect.ring.load(7), 1);
    mouse.effect.ring.store(7, 0);
    EXPECT_TRUE(cleared(mouse.effect));

    EXPECT_EQ(pad.flash.active.load(), 1);
    EXPECT_EQ(pad.flash.hue.load(), 28);
    EXPECT_EQ(pad.bar.counter.load(), 6);
    EXPECT_EQ(pad.scanner.counter.load(), 4);
    EXPECT_EQ(mouse.bar.falling.load(), 1);
}

TEST(LightingSeeds, ModeChangesPlaceTheirSeeds) {
    Harness h;
    KeyboardLighting& kb = h.state->keyboard;
    changeKeyboardMode(kb, 0, 4); // hue spread
    EXPECT_EQ(kb.effect.hues.load(5), 6);
    changeKeyboardMode(kb, 2, 11);             // pulse seed: phase table, 7 per column
    EXPECT_EQ(kb.effect.levels.load(55), 102); // column 13, row 3
    EXPECT_EQ(kb.effect.hues.load(55), 91);
    changeKeyboardMode(kb, 1, 3); // ripple seed
    EXPECT_EQ(kb.effect.masks.combined(9), 0x40);
    changeKeyboardMode(kb, 1, 8); // table pulse seed, masks cleared again
    EXPECT_EQ(kb.effect.masks.combined(9), 0);
    EXPECT_EQ(kb.pulseCounters.load(84), 182);
    changeKeyboardMode(kb, 0, 3); // static places nothing
    EXPECT_EQ(kb.effect.hues.load(5), 0);
    EXPECT_EQ(kb.pulseCounters.load(84), 182); // A survives the reset

    changeMouseMode(h.state->mouse, 5, 0);
    EXPECT_EQ(h.state->mouse.effect.ring.load(0), 1);
}

TEST(LightingSeeds, FullColourRipplesGetAFrontAfterTheReset) {
    struct Case {
        unsigned variant;
        std::uint8_t mode;
        std::size_t column; // where the front is placed, or 23 for none
    };
    const Case cases[] = {{0, 5, 9}, {2, 5, 9}, {0, 15, 22}, {2, 18, 22}, {2, 15, 23}, {0, 18, 23}};
    for (const Case& c : cases) {
        Harness h;
        changeKeyboardMode(h.state->keyboard, c.variant, c.mode);
        for (std::size_t col = 0; col < kMaskColumns; ++col)
            EXPECT_EQ(h.state->keyboard.effect.masks.combined(col), col == c.column ? 0x40 : 0)
                << "variant " << c.variant << " mode " << int(c.mode) << " column " << col;
    }
}

TEST(LightingTrace, Variant2NamesThreeModes) {
    EXPECT_STREQ(keyboardTraceLine(2, 2), "常亮");
    EXPECT_STREQ(keyboardTraceLine(2, 9), "星星");
    EXPECT_STREQ(keyboardTraceLine(2, 12), "蛇");
    EXPECT_EQ(keyboardTraceLine(2, 3), nullptr);
    EXPECT_EQ(keyboardTraceLine(0, 9), nullptr);
}

TEST(LightingSeeds, HueSpread) {
    Harness h;
    seedHueSpread(h.state->keyboard.effect);
    const std::uint8_t expected[] = {33, 66, 99, 132, 165, 6};
    for (std::size_t k = 0; k < 6; ++k)
        EXPECT_EQ(h.state->keyboard.effect.hues.load(k), expected[k]) << k;
    EXPECT_EQ(h.state->keyboard.effect.hues.load(63), 192);
}

TEST(LightingSeeds, DiagonalPulseSeed) {
    Harness h;
    seedDiagonalPulses(h.state->keyboard);
    const auto& a = h.state->keyboard.pulseCounters;
    EXPECT_EQ(a.load(84), 17);   // column 0, row 4
    EXPECT_EQ(a.load(105), 175); // column 0, row 5: 17 − 35 wraps modulo 193
    EXPECT_EQ(a.load(39), 155);  // column 20 starts at 190; row 1
    EXPECT_EQ(a.load(0), 141);   // column 2 starts at 141
}

TEST(LightingDecay, RulesByBand) {
    struct Case {
        std::uint8_t level;
        DecayRule rule;
        std::uint8_t expected;
    };
    const Case cases[] = {
        {130, DecayRule::Keyboard, 100}, {130, DecayRule::KeyboardMode5, 90},
        {12, DecayRule::Keyboard, 8},    {12, DecayRule::KeyboardMode5, 8},
        {8, DecayRule::Keyboard, 0},     {8, DecayRule::KeyboardMode5, 0},
        {0, DecayRule::Keyboard, 0},     {3, DecayRule::MouseMode5, 0},
        {40, DecayRule::MouseMode5, 30}, {16, DecayRule::MouseMode5, 12},
        {255, DecayRule::PadMode5, 215}, {20, DecayRule::PadMode5, 15},
        {9, DecayRule::PadMode5, 4},     {1, DecayRule::PadMode5, 0},
        {128, DecayRule::PadMouse, 113}, {17, DecayRule::PadMouse, 14},
        {8, DecayRule::PadMouse, 7},     {0, DecayRule::PadMouse, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decay(c.level, c.rule), c.expected)
            << int(c.level) << " rule " << static_cast<int>(c.rule);
}

TEST(LightingWavefront, MarkGrowsIntoADiamond) {
    Harness h;
    WavefrontMasks& masks = h.state->keyboard.effect.masks;
    placeKeySeed(masks, 50); // column 9, row 2
    EXPECT_EQ(masks.combined(9), 0x04);
    propagateWavefront(masks);
    propagateWavefront(masks);
    // After two calls: distance 2 from (9, 2).
    EXPECT_EQ(masks.combined(9), (1u << 0) | (1u << 4));
    EXPECT_EQ(masks.combined(8), (1u << 1) | (1u << 3));
    EXPECT_EQ(masks.combined(10), (1u << 1) | (1u << 3));
    EXPECT_EQ(masks.combined(7), 1u << 2);
    EXPECT_EQ(masks.combined(11), 1u << 2);
    EXPECT_EQ(masks.combined(6), 0);

    placeKeySeed(masks, 126); // not a key: nothing changes
    EXPECT_EQ(masks.combined(6), 0);
}

} // namespace
} // namespace quellix::lighting::testing

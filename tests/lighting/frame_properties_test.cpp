// Properties that hold for every effect: frame lengths, and no frame byte
// above the channel of the cell it comes from.

#include "lighting_harness.h"
#include "quellix/lighting/tables/led_maps.h"

#include <gtest/gtest.h>

namespace quellix::lighting::testing {
namespace {

// A few field combinations per mode: both colour kinds, both directions,
// every brightness.
std::vector<LightingFields> fieldVariety(std::uint8_t mode) {
    std::vector<LightingFields> out;
    for (std::uint8_t multi : {0, 1})
        for (std::uint8_t direction : {0, 1})
            for (std::uint8_t brightness : {0, 2, 4})
                out.push_back(makeFields(mode, multi, direction, brightness, {250, 128, 7}, 1));
    return out;
}

template <std::size_t N>
void expectFrameBelowCells(const std::vector<std::uint8_t>& frame, const LedCells<N>& cells,
                           std::size_t cellOfLed(std::size_t)) {
    for (std::size_t led = 0; led < frame.size() / 3; ++led) {
        const std::size_t cell = cellOfLed(led);
        if (cell >= N) {
            for (int ch = 0; ch < 3; ++ch)
                EXPECT_EQ(frame[3 * led + ch], 0) << "unmapped LED " << led;
            continue;
        }
        const Rgb c = cells.colour(cell);
        EXPECT_LE(frame[3 * led], c.r);
        EXPECT_LE(frame[3 * led + 1], c.g);
        EXPECT_LE(frame[3 * led + 2], c.b);
    }
}

std::size_t sameIndex(std::size_t led) {
    return led;
}

std::size_t keyOfLed(std::size_t led) {
    for (std::size_t key = 0; key < tables::kKeyboardCells; ++key)
        if (tables::kLedMapVariant2[key] == led)
            return key;
    return tables::kKeyboardCells;
}

TEST(FrameProperties, PadFrames) {
    for (std::uint8_t mode = 0; mode <= 10; ++mode)
        for (const auto& f : fieldVariety(mode)) {
            Harness h(f);
            changePadMode(h.state->pad, mode);
            triggerFlashes(*h.state);
            for (int frame = 0; frame < 20; ++frame) {
                const auto step = h.pad();
                ASSERT_EQ(step.frame.size(), 33u);
                expectFrameBelowCells(step.frame, h.state->pad.cells, sameIndex);
            }
        }
}

TEST(FrameProperties, MouseFrames) {
    for (std::uint8_t mode = 0; mode <= 7; ++mode)
        for (const auto& f : fieldVariety(mode)) {
            Harness h(f);
            changeMouseMode(h.state->mouse, mode, f.direction);
            triggerFlashes(*h.state);
            for (int frame = 0; frame < 30; ++frame) {
                const auto step = h.mouse();
                ASSERT_EQ(step.frame.size(), 60u);
                expectFrameBelowCells(step.frame, h.state->mouse.cells, sameIndex);
            }
        }
}

TEST(FrameProperties, FullColourKeyboardFrames) {
    for (unsigned variant : {0u, 2u})
        for (std::uint8_t mode = 0; mode <= 19; ++mode)
            for (const auto& f : fieldVariety(mode)) {
                Harness h(f);
                changeKeyboardMode(h.state->keyboard, variant, mode);
                seedRipple(h.state->keyboard.effect.masks); // give the wavefront modes a front
                for (int frame = 0; frame < 12; ++frame) {
                    const auto step = h.keyboard(variant);
                    if (mode == 15 || mode == 16) {
                        ASSERT_TRUE(step.frame.empty());
                        continue;
                    }
                    ASSERT_EQ(step.frame.size(), 378u);
                    expectFrameBelowCells(step.frame, h.state->keyboard.cells, keyOfLed);
                }
            }
}

} // namespace
} // namespace quellix::lighting::testing

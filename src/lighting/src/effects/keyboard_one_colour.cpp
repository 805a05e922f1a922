// The one-colour keyboard's effects (variant 1, modes 0..10): one level per
// LED, sent as a level frame; the cells carry the preview colour and level.

#include "../step_helpers.h"
#include "keyboard_common.h"
#include "quellix/lighting/effects.h"
#include "quellix/lighting/tables/curves.h"
#include "quellix/lighting/tables/key_paths.h"
#include "quellix/lighting/tables/led_maps.h"
#include "quellix/lighting/wavefront.h"

#include <algorithm>
#include <array>

namespace quellix::lighting {

namespace {

using detail::advance;
using detail::forEachMatrixKey;
using tables::kBreathingCurve;
using tables::kKeyboardCells;
using tables::kLedMapVariant1;
using tables::kPulseCurve;
using tables::kSpiral;
using tables::kWaveCurve;

struct LevelStep {
    KeyboardLighting& kb;
    const CustomColours& custom;
    const EffectContext& ctx;
    std::span<std::uint8_t, kOneColourFrameBytes> frame;
    std::size_t length = kOneColourFrameBytes;

    const LightingFields& f() const { return ctx.fields; }
    std::uint8_t L() const { return ctx.fields.level(); }
    // A key's level goes to its LED's frame byte (if it has one) and to its
    // preview.
    void put(std::uint8_t key, std::uint8_t level) {
        const std::uint8_t led = kLedMapVariant1[key];
        if (led != tables::kNoLed && led < length)
            frame[led] = level;
        kb.cells.set(key, kOneColourPreview, level);
    }
    void putAll(std::uint8_t level) {
        std::fill(frame.begin(), frame.end(), level);
        for (std::size_t k = 0; k < kKeyboardCells; ++k)
            kb.cells.set(k, kOneColourPreview, level);
    }
    void fadeSpiral() {
        for (std::uint8_t key : kSpiral)
            put(key, mul256(L(), detail::fadeKey(kb.effect, key, DecayRule::Keyboard)));
    }
};

using Step = void (*)(LevelStep&);

// Runs on the second phase q, which the mode change does not reset.
void levelWave(LevelStep& s) {
    const unsigned p = advance(s.kb.q, s.f().forwards(), 96);
    forEachMatrixKey([&](std::size_t c, std::size_t, std::uint8_t key) {
        s.put(key, mul256(s.L(), kWaveCurve[(p + 7 * c) % 96]));
    });
}

// Always runs forwards, whatever the direction.
void breathing(LevelStep& s) {
    const unsigned p = advance(s.kb.effect.phase, true, 128);
    s.putAll(mul256(s.L(), kBreathingCurve[p]));
}

void staticLevel(LevelStep& s) {
    s.putAll(s.L());
}

void ripple(LevelStep& s) {
    s.ctx.pacer.sleepMs(40); // the second of its two sleeps, inside the step
    WavefrontMasks& masks = s.kb.effect.masks;
    renderWavefrontOneColour(s.kb.effect);
    propagateWavefront(masks);
    const std::uint8_t m9 = masks.combined(9);
    if (m9 == 0x01) {
        masks.setBitInAll(9, 0);
        masks.setBitInAll(9, 1);
    } else if (m9 == 0x60) {
        masks.setBitInAll(9, 5);
        masks.setBitInAll(9, 6);
    }
    s.fadeSpiral();
}

void show(LevelStep& s) {
    detail::advanceShow(s.kb, s.ctx.hueCounter, s.f().multicolour());
    s.fadeSpiral();
}

void spiralLevelWave(LevelStep& s) {
    const unsigned p = advance(s.kb.effect.phase, s.f().forwards(), 96);
    for (std::size_t j = 0; j < kSpiral.size(); ++j)
        s.put(kSpiral[j], mul256(s.L(), kWaveCurve[(p + 5 * j) % 96]));
}

void customOnOff(LevelStep& s) {
    const std::uint8_t set = s.custom.state.empty() ? 0 : s.custom.state[0].load();
    const std::size_t base = (set < kCustomSets ? set : 0) * kCustomSetBytes;
    for (std::size_t k = 0; k < kKeyboardCells; ++k) {
        const std::uint8_t led = kLedMapVariant1[k];
        if (led == tables::kNoLed)
            continue;
        const std::size_t at = base + led;
        const std::uint8_t on = at < s.custom.table.size() ? s.custom.table[at].load() : 0;
        s.put(static_cast<std::uint8_t>(k), mul256(s.L(), on));
    }
}

void stars(LevelStep& s) {
    s.ctx.pacer.sleepMs(100);
    detail::addStars(s.kb, detail::kStarSlotOneColour, s.ctx.hueCounter);
    for (std::size_t k = 0; k < kKeyboardCells; ++k) {
        const std::uint8_t lit =
            detail::fadeKey(s.kb.effect, static_cast<std::uint8_t>(k), DecayRule::Keyboard);
        if (kLedMapVariant1[k] != tables::kNoLed)
            s.put(static_cast<std::uint8_t>(k), mul256(s.L(), lit));
    }
}

void pulses(LevelStep& s) {
    for (std::uint8_t key : kSpiral) {
        const std::uint8_t a = detail::countUp(s.kb.pulseCounters.load(key), kPulseCurve.size());
        s.kb.pulseCounters.store(key, a);
        s.put(key, mul256(s.L(), kPulseCurve[a]));
    }
}

void snake(LevelStep& s) {
    s.length = kOneColourSnakeFrameBytes;
    detail::advanceSnake(s.kb, s.ctx.hueCounter);
    s.fadeSpiral();
}

struct OneColourMode {
    Step step;
    unsigned sleepBeforeMs;
};

constexpr std::array<OneColourMode, 11> kOneColourModes = {{
    {levelWave, 0},
    {breathing, 0},
    {staticLevel, 0},
    {ripple, 40},
    {show, 15},
    {spiralLevelWave, 1},
    {customOnOff, 0},
    {stars, 0},
    {pulses, 0}, // table pulse seed
    {pulses, 0}, // diagonal pulse seed
    {snake, 0},
}};

} // namespace

std::size_t runKeyboardOneColourEffect(KeyboardLighting& kb, const CustomColours& custom,
                                       const EffectContext& ctx,
                                       std::span<std::uint8_t, kOneColourFrameBytes> frame) {
    const std::uint8_t mode = ctx.fields.mode;
    if (mode >= kOneColourModes.size())
        return 0;
    std::fill(frame.begin(), frame.end(), 0);
    const OneColourMode& m = kOneColourModes[mode];
    if (m.sleepBeforeMs != 0)
        ctx.pacer.sleepMs(m.sleepBeforeMs);
    LevelStep s{kb, custom, ctx, frame};
    m.step(s);
    return s.length;
}

} // namespace quellix::lighting
